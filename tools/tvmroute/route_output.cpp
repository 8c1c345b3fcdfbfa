#include "tools/tvmroute/route_output.hpp"

#include "tools/tvminfo/json_out.hpp"

#include <cerrno>
#include <cmath>
#include <cstring>

namespace tevo::tvmroute {

namespace {

// Metres and seconds to a tenth, as the route's times are kept.
double tenth(double v) {
    return std::round(v * 10) / 10;
}

std::string xmlText(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string stepTitle(const route::RouteStep& step) {
    std::string title = route::maneuverText(step);
    if (!step.street.empty()) title += " " + step.street;
    return title;
}

} // namespace

void printRoute(std::FILE* out, const route::Route& route) {
    JsonOut json(out);
    json.beginObject();
    json.key("distance_m");
    json.number(tenth(route.distanceM));
    json.key("duration_s");
    json.number(route.durationTenths / 10.0);
    json.key("points");
    json.beginArray();
    for (const route::LonLat& p : route.points) {
        const double pair[2] = {p.lon, p.lat};
        json.floats(pair, 2);
    }
    json.endArray();
    json.key("steps");
    json.beginArray();
    for (const route::RouteStep& step : route.steps) {
        json.beginObject();
        json.key("maneuver");
        json.string(route::maneuverText(step));
        json.key("street");
        json.string(step.street);
        json.key("distance_m");
        json.number(tenth(step.distanceM));
        json.endObject();
    }
    json.endArray();
    json.endObject();
}

void printError(std::FILE* out, const std::string& message) {
    JsonOut json(out);
    json.beginObject();
    json.key("error");
    json.string(message);
    json.endObject();
}

bool writeGpx(const std::string& path, const route::Route& route, std::string* error) {
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (!f) {
        if (error) *error = path + ": " + std::strerror(errno);
        return false;
    }
    std::fprintf(f, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<gpx version=\"1.1\" creator=\"tvmroute\" "
                    "xmlns=\"http://www.topografix.com/GPX/1/1\">\n<rte>\n");
    for (const route::RouteStep& step : route.steps)
        std::fprintf(f, "  <rtept lat=\"%.7f\" lon=\"%.7f\"><name>%s</name></rtept>\n", step.at.lat,
                     step.at.lon, xmlText(stepTitle(step)).c_str());
    std::fprintf(f, "</rte>\n<trk>\n  <trkseg>\n");
    for (const route::LonLat& p : route.points)
        std::fprintf(f, "    <trkpt lat=\"%.7f\" lon=\"%.7f\"/>\n", p.lat, p.lon);
    std::fprintf(f, "  </trkseg>\n</trk>\n</gpx>\n");
    const bool ok = !std::ferror(f);
    if (std::fclose(f) != 0 || !ok) {
        if (error) *error = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace tevo::tvmroute
