// gpsd.xml: where the receiver detection asks gpsd for positions. A file of
// its own, so that config.xml keeps its layout.
//
//   <gpsd>
//     <use>1</use>            0 keeps detection away from gpsd
//     <host>localhost</host>  a name or an address
//     <port>2947</port>
//   </gpsd>
//
// A missing file, or a missing element, leaves the default: gpsd on this
// machine at its own port.
#pragma once

#include "config/xml.hpp"

#include <cstdint>
#include <string>

namespace tevo {

class cGpsdXML : public cXML {
public:
    static constexpr int32_t kDefaultPort = 2947;

    bool use = true;
    std::string host = "localhost";
    int32_t port = kDefaultPort; // 1 to 65535; others leave the default

    void startElement(const char16_t* name, const char16_t** attributes) override;
    void endElement(const char16_t* name) override;
    void characterData(const char16_t* text, int length) override;

private:
    int32_t kind_ = 0;
};

} // namespace tevo
