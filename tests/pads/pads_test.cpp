// The game's pads: the mapping, loading XInput, how often an absent pad is asked, and a game
// played from a pad while its window is in front.
#include "scripted_host.h"
#include "shell/keys.h"
#include "shell/pads.h"
#include "support/test_support.h"

namespace {

// The five keys the game polls that are held, as letters: Left, Right, Enter, F5, Escape (X).
std::string HeldKeys() {
    std::string held;
    for (const auto& [vk, letter] : {std::pair{VK_LEFT, 'L'},
                                     {VK_RIGHT, 'R'},
                                     {VK_RETURN, 'E'},
                                     {VK_F5, 'F'},
                                     {VK_ESCAPE, 'X'}})
        if (KeyHeld(vk))
            held += letter;
    return held;
}

// The pads asked since the `from`-th call, by number: "02" is pad 0, then pad 2.
std::string Asked(size_t from = 0) {
    std::string asked;
    const std::vector<scripted::Call>& calls = scripted::Calls();
    for (size_t i = from; i < calls.size(); ++i)
        if (calls[i].name == "XInputGetState")
            asked += static_cast<char>('0' + calls[i].args[0]);
    return asked;
}

using PadTest = FreshProgram;

// The mapping, on each of the four pads in turn; the other buttons hold nothing.
TEST_F(PadTest, EachPadsControlsHoldTheirKeys) {
    const WORD others = 0x63C3; // B, X, the d-pad's up and down, the shoulders, the sticks
    const struct {
        WORD buttons;
        SHORT stickX;
        const char* held;
    } rows[] = {
        {XINPUT_GAMEPAD_DPAD_LEFT, 0, "L"},
        {XINPUT_GAMEPAD_DPAD_RIGHT, 0, "R"},
        {XINPUT_GAMEPAD_A, 0, "E"},
        {XINPUT_GAMEPAD_START, 0, "E"},
        {XINPUT_GAMEPAD_Y, 0, "F"},
        {XINPUT_GAMEPAD_BACK, 0, "X"},
        {others, 0, ""},
        {0, -32768, "L"},
        {0, -16385, "L"},
        {0, -16384, ""},
        {0, 16384, ""},
        {0, 16385, "R"},
        {0, 32767, "R"},
        {XINPUT_GAMEPAD_DPAD_LEFT, 32767, "LR"},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        ResetEverything();
        scripted::SetPad(i % XUSER_MAX_COUNT, rows[i].buttons, rows[i].stickX);
        OpenPads();
        EXPECT_EQ(HeldKeys(), rows[i].held) << "row " << i;
    }
}

// The first of the three names that loads is XInput; with none, or without XInputGetState, the
// keys play alone, silently. The keyboard and the pads add up.
TEST_F(PadTest, XInputIsTheFirstOfItsNamesThatLoads) {
    const struct {
        const char* failing;
        int failures;
        const char* tried;
        bool pads;
    } rows[] = {{"LoadLibraryA", 0, "xinput1_4.dll ", true},
                {"LoadLibraryA", 1, "xinput1_4.dll xinput9_1_0.dll ", true},
                {"LoadLibraryA", 2, "xinput1_4.dll xinput9_1_0.dll xinput1_3.dll ", true},
                {"LoadLibraryA", 3, "xinput1_4.dll xinput9_1_0.dll xinput1_3.dll ", false},
                {"GetProcAddress", 1, "xinput1_4.dll ", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.failing) + " x" + std::to_string(row.failures));
        ResetEverything();
        scripted::FailCall(row.failing, row.failures);
        scripted::SetPad(0, XINPUT_GAMEPAD_BACK);
        scripted::SetKey(VK_RETURN, true);
        OpenPads();
        std::string tried;
        for (const scripted::Call& load : scripted::CallsNamed("LoadLibraryA"))
            tried += load.text[0] + " ";
        EXPECT_EQ(tried, row.tried);
        EXPECT_EQ(HeldKeys(), row.pads ? "EX" : "E");
        EXPECT_EQ(Asked(), row.pads ? "01230000" : "");
        EXPECT_TRUE(scripted::MessageBoxes().empty());
    }
    const scripted::Call lookup = scripted::CallsNamed("GetProcAddress").at(0);
    EXPECT_EQ(lookup.text[0], "XInputGetState");
    EXPECT_NE(lookup.object, nullptr);
}

// A pad that answers is asked at every look; the absent ones one at a time, every 200 ms,
// across the clock's wrap. A pad pulled out mid-press lets its key go at once.
TEST_F(PadTest, AbsentPadsAreAskedInTurnEvery200Ms) {
    const DWORD start = 0xFFFFFF9C; // 100 ms before the wrap
    scripted::SetClock(start);
    OpenPads();
    EXPECT_EQ(Asked(), "0123");
    const struct {
        DWORD at; // ms after the start
        int plug; // pad 2 plugged in holding Right before the look (1), pulled out (-1)
        const char* asked;
        bool right;
    } looks[] = {{0, 0, "", false},     {199, 0, "", false},    {200, 0, "0", false},
                 {201, 0, "", false},   {399, 1, "", false},    {400, 0, "1", false},
                 {600, 0, "2", true},   {601, 0, "2", true},    {800, 0, "23", true},
                 {1000, 0, "02", true}, {1001, -1, "2", false}, {1002, 0, "", false},
                 {1200, 0, "1", false}, {1400, 0, "2", false}};
    for (const auto& look : looks) {
        scripted::SetClock(start + look.at);
        if (look.plug > 0)
            scripted::SetPad(2, XINPUT_GAMEPAD_DPAD_RIGHT);
        if (look.plug < 0)
            scripted::UnplugPad(2);
        const size_t before = scripted::Calls().size();
        EXPECT_EQ(KeyHeld(VK_RIGHT), look.right) << look.at;
        EXPECT_EQ(Asked(before), look.asked) << look.at;
    }
}

// The game takes the pads when it starts; Back quits it in order, but only once its window is
// in front again, and the pads are not even asked meanwhile.
TEST_F(PadTest, BackOnAPadQuitsTheGameWhileItsWindowIsInFront) {
    TempDir dir;
    scripted::SetPad(1, XINPUT_GAMEPAD_BACK);
    scripted::SetForeground(false);
    size_t asked = 0;
    scripted::OnPump([&asked](int pump) {
        if (pump == 1)
            asked = Asked().size();
        scripted::SetForeground(pump == 3);
    });
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 1), 0);
    EXPECT_EQ(scripted::CallCount("Flip"), 2);
    EXPECT_EQ(Asked().substr(asked), "1");
    EXPECT_EQ(ReadFile("Log.txt"),
              "Could not open FinalTitle.bmp\nGame successfully returning...\n");
}

} // namespace
