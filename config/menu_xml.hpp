// The menu file: the controls of the screens, the two fonts and the sky view
// of the satellites screen.
#pragma once

#include "config/xml.hpp"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tevo {

// One `button`, `label` or `sky` of a screen, or the `keyboard` or the
// `results` of the search screen.
struct MenuRecord {
    enum Type : int32_t { None = 0, Button = 1, Label = 2, Sky = 3, Keyboard = 4, Results = 5 };
    int32_t type = None;
    // The image file of a button, the key face of a keyboard, the icon sheet
    // of the results (the element's first attribute).
    std::u16string name;
    std::array<int32_t, 4> position{0, 0, 0, 0};
    std::u16string icon;
    std::u16string text;
    std::u16string callback;
    std::u16string activePicture;
    std::u16string inactivePicture;
    std::u16string pressedPicture; // a keyboard's pressed key face
    int32_t a = 0;
    int32_t b = 0;
};

class cMenuXML : public cXML {
public:
    // Sections: the three screens and the two fonts.
    enum Section : int32_t {
        SectionNone = 0,
        SectionNavigation = 1,
        SectionMain = 2,
        SectionSatellites = 3,
        SectionFontButton = 5,
        SectionFontLabel = 6,
        SectionSearch = 7,
    };
    static constexpr int32_t kDefaultFontSize = 12;
    // Font sizes above this fall back to kDefaultFontSize; 0 opens no font.
    static constexpr int32_t kLargestFontSize = 256;

    void startElement(const char16_t* name, const char16_t** attributes) override;
    void endElement(const char16_t* name) override;
    void characterData(const char16_t* text, int length) override;

    // The records of a screen in file order.
    const std::vector<MenuRecord>& navigation() const { return navigation_; }
    const std::vector<MenuRecord>& main() const { return main_; }
    const std::vector<MenuRecord>& satellites() const { return satellites_; }
    const std::vector<MenuRecord>& search() const { return search_; }

    int32_t buttonFontSize = kDefaultFontSize;
    int32_t labelFontSize = kDefaultFontSize;
    // 0x00BBGGRR: the lowest byte is red.
    uint32_t buttonColour = 0;
    uint32_t labelColour = 0;

private:
    std::vector<MenuRecord>* sectionList();

    int32_t section_ = SectionNone;
    int32_t kind_ = 0;
    MenuRecord record_;
    std::vector<MenuRecord> navigation_;
    std::vector<MenuRecord> main_;
    std::vector<MenuRecord> satellites_;
    std::vector<MenuRecord> search_;
};

// The hexadecimal number at the start of `text` (after white space, with an
// optional 0x), 0 when there are no digits. Digits beyond 32 bits are dropped
// from the top, as the C library's %x reading does.
uint32_t parseHexColour(std::u16string_view text);

} // namespace tevo
