#include "plugins/gnss/line_parser.hpp"

#include "plugins/gnss/sentence.hpp"

namespace tevo::gnss {

bool detectReceiver(const uint8_t* data, uint32_t length) {
    // "$", two talker letters and three type letters.
    constexpr uint32_t kAddress = 6;
    static constexpr std::string_view kTypes[] = {"RMC", "GGA", "GNS", "VTG", "GSA", "GSV"};
    if (data == nullptr || length < kAddress) return false;
    const char* text = reinterpret_cast<const char*>(data);
    for (uint32_t i = 0; i + kAddress <= length; ++i) {
        if (text[i] != '$') continue;
        std::optional<Talker> talker = talkerOf(std::string_view(text + i + 1, 2));
        // GPS alone is left to Sentrix, which is loaded after us; every other
        // talker is ours.
        if (!talker || *talker == Talker::Gps) continue;
        std::string_view type(text + i + 3, 3);
        for (std::string_view known : kTypes) {
            if (type == known) return true;
        }
    }
    return false;
}

} // namespace tevo::gnss
