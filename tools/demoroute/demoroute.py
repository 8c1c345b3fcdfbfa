#!/usr/bin/env python3
"""Writes a drive along the streets of an OpenStreetMap extract as a .plt track.

Reads the extract (.osm, .osm.gz or .osm.bz2), builds the graph of the roads
that cars may use, finds the quickest way through the given places, drives it
with speeds that fit the roads (slowing before turns, accelerating after them,
starting and ending at rest) and writes one point a second. Before it writes,
it checks the drive: every point lies on a car road, consecutive points are as
far apart as the speed says, and the whole drive stays inside the extract.

    demoroute.py --from LON,LAT [--via LON,LAT ...] --to LON,LAT -o track.plt

`demoroute.py --check track.plt` checks an existing track against the extract.
Standard library only; the output is the same on every run.
"""

import argparse
import bz2
import datetime
import gzip
import heapq
import math
import sys
import xml.etree.ElementTree as ET

EARTH_RADIUS_M = 6370000.0
HEADER_LINES = 6

# Roads a car may use, with the speed we drive where no maxspeed is tagged
# (km/h): town traffic, below the legal limit of the street.
DRIVE_KMH = {
    "motorway": 90, "trunk": 70, "primary": 55, "secondary": 50, "tertiary": 40,
    "unclassified": 35, "residential": 30, "living_street": 15, "service": 20,
    "motorway_link": 50, "trunk_link": 45, "primary_link": 40, "secondary_link": 35,
    "tertiary_link": 30,
}
# maxspeed values that name a zone instead of a number.
ZONE_KMH = {"urban": 60, "rural": 90, "living_street": 20, "motorway": 110, "walk": 7}
# We never drive faster than a tagged limit, and no faster than the road's
# usual town speed either.
NO_ACCESS = {"no", "private"}
CAR_ACCESS = {"yes", "designated", "permissive", "destination"}

ACCELERATION = 1.2   # m/s², pulling away
DECELERATION = 1.8   # m/s², braking
PROFILE_STEP_M = 1.0
TURN_LOOK_M = 12.0   # a turn's angle is measured over this much road on each side
MIN_TURN_KMH = 12.0
STRAIGHT_DEG = 15.0  # turns below this need no slowing

# Checks of the result.
MAX_OFF_ROAD_M = 3.0
MAX_STEP_ERROR_M = 1.5


def open_osm(path):
    if path.endswith(".gz"):
        return gzip.open(path, "rb")
    if path.endswith(".bz2"):
        return bz2.open(path, "rb")
    return open(path, "rb")


def read_osm(path):
    """Nodes (id -> (lat, lon)), highway ways (tags, node ids), the bounds and the
    elevations the extract holds ((lat, lon, metres) of every node with an ele tag)."""
    nodes, ways, bounds, heights = {}, [], None, []
    with open_osm(path) as stream:
        for _, el in ET.iterparse(stream):
            if el.tag == "bounds":
                bounds = tuple(float(el.get(k)) for k in ("minlat", "minlon", "maxlat", "maxlon"))
            elif el.tag == "node":
                where = (float(el.get("lat")), float(el.get("lon")))
                nodes[el.get("id")] = where
                ele = next((t.get("v") for t in el.findall("tag") if t.get("k") == "ele"), None)
                metres = parse_ele(ele) if ele is not None else None
                if metres is not None:
                    heights.append((where[0], where[1], metres))
                el.clear()
            elif el.tag == "way":
                tags = {t.get("k"): t.get("v") for t in el.findall("tag")}
                if "highway" in tags:
                    ways.append((tags, [n.get("ref") for n in el.findall("nd")]))
                el.clear()
    if bounds is None and nodes:
        lats = [p[0] for p in nodes.values()]
        lons = [p[1] for p in nodes.values()]
        bounds = (min(lats), min(lons), max(lats), max(lons))
    return nodes, ways, bounds, heights


def parse_ele(text):
    """Metres from an ele tag ("161.1", "1203 m"); None for what is no height."""
    try:
        value = float(text.strip().removesuffix("m").strip())
    except ValueError:
        return None
    return value if -500 < value < 9000 else None


def altitudes(points, heights, fixed):
    """One altitude a point: the given one, or the heights the extract holds,
    weighted by inverse distance among those within 3 km, else their median."""
    if fixed is not None:
        return [fixed] * len(points)
    if not heights:
        print("demoroute: the extract holds no elevation (no node with an ele tag), so the "
              "track's altitude is 0; --altitude M sets one", file=sys.stderr)
        return [0.0] * len(points)
    median = sorted(h[2] for h in heights)[len(heights) // 2]
    result = []
    for lat, lon in points:
        near = [(metres((lat, lon), (h[0], h[1])), h[2]) for h in heights]
        near = [(max(d, 1.0), m) for d, m in near if d < 3000]
        if not near:
            result.append(median)
            continue
        weights = [1 / (d * d) for d, _ in near]
        result.append(sum(w * m for w, (_, m) in zip(weights, near)) / sum(weights))
    return result


def car_may_use(tags):
    if tags.get("highway") not in DRIVE_KMH or tags.get("area") == "yes":
        return False
    for key in ("motorcar", "motor_vehicle"):
        if key in tags:
            return tags[key] not in NO_ACCESS
    return tags.get("access") not in NO_ACCESS or tags.get("vehicle") in CAR_ACCESS


def oneway(tags):
    """1 forward only, -1 backward only, 0 both ways."""
    value = tags.get("oneway")
    if value in ("yes", "true", "1"):
        return 1
    if value in ("-1", "reverse"):
        return -1
    if value == "no":
        return 0
    if tags.get("junction") in ("roundabout", "circular") or tags.get("highway") == "motorway":
        return 1
    return 0


def drive_kmh(tags):
    usual = DRIVE_KMH[tags["highway"]]
    limit = tags.get("maxspeed", "").strip()
    if limit.endswith("mph"):
        try:
            return min(usual, float(limit[:-3]) * 1.609)
        except ValueError:
            return usual
    if ":" in limit:
        return min(usual, ZONE_KMH.get(limit.split(":", 1)[1], usual))
    try:
        return min(usual, float(limit))
    except ValueError:
        return usual


def metres(a, b):
    """Great-circle distance between two (lat, lon) points."""
    la1, lo1, la2, lo2 = map(math.radians, (a[0], a[1], b[0], b[1]))
    h = math.sin((la2 - la1) / 2) ** 2 + math.cos(la1) * math.cos(la2) * math.sin((lo2 - lo1) / 2) ** 2
    return 2 * EARTH_RADIUS_M * math.asin(min(1.0, math.sqrt(h)))


def inside(p, bounds):
    return bounds[0] <= p[0] <= bounds[2] and bounds[1] <= p[1] <= bounds[3]


class RoadGraph:
    """Directed edges between nodes inside the bounds, weighted by driving time."""

    def __init__(self, nodes, ways, bounds):
        self.nodes = nodes
        self.edges = {}       # node -> [(next node, seconds, km/h)]
        self.segments = []    # every car road segment, for the checks
        for tags, refs in ways:
            if not car_may_use(tags):
                continue
            kmh, direction = drive_kmh(tags), oneway(tags)
            for a, b in zip(refs, refs[1:]):
                if a not in nodes or b not in nodes:
                    continue
                self.segments.append((nodes[a], nodes[b]))
                if not (inside(nodes[a], bounds) and inside(nodes[b], bounds)):
                    continue
                seconds = metres(nodes[a], nodes[b]) / (kmh / 3.6)
                if direction >= 0:
                    self.edges.setdefault(a, []).append((b, seconds, kmh))
                if direction <= 0:
                    self.edges.setdefault(b, []).append((a, seconds, kmh))

    def nearest(self, lat, lon):
        """The routable node nearest to a place."""
        return min(self.edges, key=lambda n: metres(self.nodes[n], (lat, lon)))

    def quickest(self, start, goal):
        """Node ids and the km/h of each step of the quickest way, or None."""
        best, came = {start: 0.0}, {}
        queue = [(0.0, start)]
        while queue:
            t, n = heapq.heappop(queue)
            if n == goal:
                break
            if t > best[n]:
                continue
            for m, seconds, kmh in self.edges.get(n, ()):
                if t + seconds < best.get(m, math.inf):
                    best[m] = t + seconds
                    came[m] = (n, kmh)
                    heapq.heappush(queue, (t + seconds, m))
        if goal not in best:
            return None
        path, speeds = [goal], []
        while path[-1] != start:
            n, kmh = came[path[-1]]
            path.append(n)
            speeds.append(kmh)
        return path[::-1], speeds[::-1]


class Route:
    """A polyline with a speed limit per segment, walked by distance."""

    def __init__(self, points, kmh):
        self.points, self.kmh = points, kmh
        self.at = [0.0]
        for a, b in zip(points, points[1:]):
            self.at.append(self.at[-1] + metres(a, b))
        self.length = self.at[-1]

    def segment(self, s):
        lo, hi = 0, len(self.at) - 1
        while hi - lo > 1:
            mid = (lo + hi) // 2
            if self.at[mid] <= s:
                lo = mid
            else:
                hi = mid
        return lo

    def position(self, s):
        i = self.segment(min(max(s, 0.0), self.length))
        a, b = self.points[i], self.points[i + 1]
        span = self.at[i + 1] - self.at[i]
        f = 0.0 if span == 0 else (s - self.at[i]) / span
        f = min(max(f, 0.0), 1.0)
        return (a[0] + f * (b[0] - a[0]), a[1] + f * (b[1] - a[1]))

    def heading(self, s0, s1):
        a, b = self.position(s0), self.position(s1)
        dx = (b[1] - a[1]) * math.cos(math.radians(a[0]))
        return math.degrees(math.atan2(b[0] - a[0], dx))


def turn_kmh(route, s):
    """Speed at which the turn at distance s is taken."""
    before = route.heading(s - TURN_LOOK_M, s)
    after = route.heading(s, s + TURN_LOOK_M)
    angle = abs((after - before + 180.0) % 360.0 - 180.0)
    if angle < STRAIGHT_DEG:
        return math.inf
    return max(MIN_TURN_KMH, 60.0 - 0.5 * angle)


def speed_profile(route):
    """m/s every PROFILE_STEP_M along the route: road limits, turns, braking and pulling away."""
    steps = int(route.length / PROFILE_STEP_M) + 1
    v = [route.kmh[route.segment(k * PROFILE_STEP_M)] / 3.6 for k in range(steps + 1)]
    for s in route.at[1:-1]:
        k = int(round(s / PROFILE_STEP_M))
        v[k] = min(v[k], turn_kmh(route, s) / 3.6)
    v[0] = v[-1] = 0.0
    for k in range(steps - 1, -1, -1):
        v[k] = min(v[k], math.sqrt(v[k + 1] ** 2 + 2 * DECELERATION * PROFILE_STEP_M))
    for k in range(1, steps + 1):
        v[k] = min(v[k], math.sqrt(v[k - 1] ** 2 + 2 * ACCELERATION * PROFILE_STEP_M))
    return v


def drive(route):
    """(lat, lon) once a second along the route, from rest to rest."""
    v = speed_profile(route)
    times = [0.0]
    for k in range(1, len(v)):
        mean = (v[k - 1] + v[k]) / 2
        times.append(times[-1] + (PROFILE_STEP_M / mean if mean > 0 else 0.0))
    points, k = [], 0
    for second in range(int(times[-1]) + 1):
        while k + 1 < len(times) and times[k + 1] < second:
            k += 1
        span = times[k + 1] - times[k] if k + 1 < len(times) else 0.0
        f = 0.0 if span == 0 else (second - times[k]) / span
        points.append(route.position(min((k + f) * PROFILE_STEP_M, route.length)))
    if metres(points[-1], route.points[-1]) > 0.01:
        points.append(route.points[-1])
    return points


def plan(graph, places):
    """The route through the places, in order."""
    stops = [graph.nearest(lat, lon) for lon, lat in places]
    ids, kmh = [stops[0]], []
    for a, b in zip(stops, stops[1:]):
        found = graph.quickest(a, b)
        if found is None:
            sys.exit(f"demoroute: no way by car from {graph.nodes[a]} to {graph.nodes[b]}")
        ids += found[0][1:]
        kmh += found[1]
    return Route([graph.nodes[n] for n in ids], kmh)


# Days of the track times count from this day.
EPOCH = datetime.datetime(1899, 12, 30, tzinfo=datetime.timezone.utc)


def write_plt(path, name, points, start, heights):
    days = (start - EPOCH).total_seconds() / 86400.0
    with open(path, "w", newline="\n") as out:
        out.write("Tevo track point file\nWGS 84\nAltitude is in Metres\nReserved 3\n")
        out.write(f"0,2,255,{name},0,0,2,255\n{len(points)}\n")
        for i, (lat, lon) in enumerate(points):
            out.write(f"{lat:.7f},{lon:.7f},0,{heights[i]:.1f},{days + i / 86400.0:.10f}\n")


def read_plt(path):
    """(lat, lon, days) of every point of a track file."""
    points = []
    with open(path, "rb") as f:
        for line in f.read().decode("ascii", "replace").split("\n")[HEADER_LINES:]:
            fields = line.strip().split(",")
            if len(fields) >= 5:
                points.append((float(fields[0]), float(fields[1]), float(fields[4])))
    return points


def off_road_m(p, segments):
    """Distance of a point from the nearest road segment (flat earth, fine at street scale)."""
    k = math.cos(math.radians(p[0]))
    best = math.inf
    for a, b in segments:
        ax, ay = (a[1] - p[1]) * k, a[0] - p[0]
        bx, by = (b[1] - p[1]) * k, b[0] - p[0]
        dx, dy = bx - ax, by - ay
        length2 = dx * dx + dy * dy
        t = 0.0 if length2 == 0 else min(1.0, max(0.0, -(ax * dx + ay * dy) / length2))
        x, y = ax + t * dx, ay + t * dy
        best = min(best, math.hypot(x, y))
    return math.radians(best) * EARTH_RADIUS_M


def check(points, graph, bounds, max_kmh):
    """Problems of a drive (lat, lon, days): off road, jumps, outside the bounds."""
    problems = []
    # Only the segments near the drive, so the check stays quick.
    margin = 0.002
    box = (min(p[0] for p in points) - margin, min(p[1] for p in points) - margin,
           max(p[0] for p in points) + margin, max(p[1] for p in points) + margin)
    near = [s for s in graph.segments if inside(s[0], box) or inside(s[1], box)]
    for i, p in enumerate(points):
        if not inside(p, bounds):
            problems.append(f"point {i} {p[:2]} lies outside the map {bounds}")
        off = off_road_m(p, near)
        if off > MAX_OFF_ROAD_M:
            problems.append(f"point {i} {p[:2]} lies {off:.1f} m from a car road")
    for i in range(1, len(points)):
        step = metres(points[i - 1], points[i])
        seconds = (points[i][2] - points[i - 1][2]) * 86400.0
        if abs(seconds - 1.0) > 0.01 and i + 1 < len(points):
            problems.append(f"point {i} comes {seconds:.3f} s after the one before")
        if step > max_kmh / 3.6 * max(seconds, 1.0) + MAX_STEP_ERROR_M:
            problems.append(f"point {i} lies {step:.1f} m from the one before")
    return problems


def parse_place(text):
    lon, lat = (float(v) for v in text.split(","))
    return lon, lat


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--osm", default="data/osm/moscow.osm.gz", help="the OpenStreetMap extract")
    parser.add_argument("--from", dest="start", type=parse_place, help="LON,LAT where the drive starts")
    parser.add_argument("--via", type=parse_place, action="append", default=[],
                        help="LON,LAT the drive passes (repeatable, in order)")
    parser.add_argument("--to", type=parse_place, help="LON,LAT where the drive ends")
    parser.add_argument("-o", "--output", help="the .plt file to write")
    parser.add_argument("--name", default="Drive", help="the track name in the header")
    parser.add_argument("--time", default="2026-05-16T09:00:00",
                        help="UTC time of the first point (ISO 8601)")
    parser.add_argument("--altitude", type=float,
                        help="metres, for every point (default: from the extract's ele tags)")
    parser.add_argument("--check", metavar="PLT", help="only check an existing track")
    args = parser.parse_args(argv)

    nodes, ways, bounds, heights = read_osm(args.osm)
    graph = RoadGraph(nodes, ways, bounds)
    max_kmh = max(DRIVE_KMH.values())
    if args.check:
        points = read_plt(args.check)
        problems = check(points, graph, bounds, max_kmh) if points else ["no points"]
        for p in problems:
            print(f"{args.check}: {p}", file=sys.stderr)
        print(f"{args.check}: {len(points)} points, {'bad' if problems else 'good'}")
        return 1 if problems else 0
    if not (args.start and args.to and args.output):
        parser.error("--from, --to and -o are needed to write a drive")

    route = plan(graph, [args.start] + args.via + [args.to])
    latlon = drive(route)
    start = datetime.datetime.fromisoformat(args.time).replace(tzinfo=datetime.timezone.utc)
    days0 = (start - EPOCH).total_seconds() / 86400.0
    problems = check([(p[0], p[1], days0 + i / 86400.0) for i, p in enumerate(latlon)], graph,
                     bounds, max_kmh)
    for p in problems:
        print(f"demoroute: {p}", file=sys.stderr)
    if problems:
        return 1
    write_plt(args.output, args.name, latlon, start, altitudes(latlon, heights, args.altitude))
    fastest = max(metres(a, b) for a, b in zip(latlon, latlon[1:])) * 3.6
    print(f"{args.output}: {route.length / 1000:.2f} km in {len(latlon) - 1} s "
          f"({len(latlon)} points), fastest {fastest:.0f} km/h, "
          f"mean {route.length / max(1, len(latlon) - 1) * 3.6:.0f} km/h")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
