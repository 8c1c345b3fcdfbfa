// The choice of SDL's video driver before SDL starts.
#include "platform/display.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace tevo {
namespace {

// Sets or removes an environment variable for the life of the object.
class ScopedVariable {
public:
    ScopedVariable(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        set(value);
    }
    ~ScopedVariable() { set(old_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    void set(const std::optional<std::string>& value) {
        if (value) {
            setenv(name_, value->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    const char* name_;
    std::optional<std::string> old_;
};

struct DriverCase {
    const char* label;
    std::optional<std::string> display;
    std::optional<std::string> asked;
    std::string chosen;
};

class VideoDriverTest : public testing::TestWithParam<DriverCase> {};

TEST_P(VideoDriverTest, IsChosenOnPurpose) {
    ScopedVariable display("DISPLAY", GetParam().display);
    ScopedVariable driver("SDL_VIDEODRIVER", GetParam().asked);
    chooseVideoDriver();
    const char* chosen = std::getenv("SDL_VIDEODRIVER");
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen, GetParam().chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, VideoDriverTest,
    testing::Values(DriverCase{"DisplaySet", ":0", std::nullopt, "x11"},
                    DriverCase{"DisplayAndEmptyDriver", ":0", "", "x11"},
                    DriverCase{"UserDriverWins", ":0", "dummy", "dummy"},
                    DriverCase{"UserTextModeDriverWins", ":0", "caca", "caca"},
                    DriverCase{"NoDisplay", std::nullopt, std::nullopt, "fbcon"},
                    DriverCase{"EmptyDisplay", "", std::nullopt, "fbcon"},
                    DriverCase{"NoDisplayUserDriver", std::nullopt, "dummy", "dummy"}),
    [](const testing::TestParamInfo<DriverCase>& info) { return info.param.label; });

} // namespace
} // namespace tevo
