// The game's pads: the mapping, the window in front, loading XInput, and how often a pad that
// is not there is asked.
#include "scripted_host.h"
#include "shell/keys.h"
#include "shell/main_window.h"
#include "shell/pads.h"
#include "support/test_support.h"

namespace {

// The five keys the game polls, as letters: Left, Right, Enter, F5, Escape (X).
std::string HeldKeys() {
    const struct {
        int vk;
        char letter;
    } keys[] = {{VK_LEFT, 'L'}, {VK_RIGHT, 'R'}, {VK_RETURN, 'E'}, {VK_F5, 'F'}, {VK_ESCAPE, 'X'}};
    std::string held;
    for (const auto& key : keys)
        if (KeyHeld(key.vk))
            held += key.letter;
    return held;
}

XINPUT_GAMEPAD Pad(WORD buttons, SHORT stickX = 0) {
    XINPUT_GAMEPAD pad = {};
    pad.wButtons = buttons;
    pad.sThumbLX = stickX;
    return pad;
}

// The pads asked since the `from`-th call, by number: "02" is pad 0, then pad 2.
std::string Asked(size_t from) {
    std::string asked;
    const std::vector<scripted::Call>& calls = scripted::Calls();
    for (size_t i = from; i < calls.size(); ++i)
        if (calls[i].name == "XInputGetState")
            asked += static_cast<char>('0' + calls[i].args[0]);
    return asked;
}

std::vector<std::string> Libraries() {
    std::vector<std::string> names;
    for (const scripted::Call& call : scripted::CallsNamed("LoadLibraryA"))
        names.push_back(call.text[0]);
    return names;
}

using PadTest = FreshProgram;

// The mapping, on each of the four pads in turn; the other buttons hold nothing.
TEST_F(PadTest, EachPadsControlsHoldTheirKeys) {
    const WORD others = XINPUT_GAMEPAD_DPAD_UP | XINPUT_GAMEPAD_DPAD_DOWN | XINPUT_GAMEPAD_B |
                        XINPUT_GAMEPAD_X | XINPUT_GAMEPAD_LEFT_SHOULDER |
                        XINPUT_GAMEPAD_RIGHT_SHOULDER | XINPUT_GAMEPAD_LEFT_THUMB |
                        XINPUT_GAMEPAD_RIGHT_THUMB;
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
        const DWORD user = i % XUSER_MAX_COUNT;
        ResetEverything();
        scripted::SetPad(user, Pad(rows[i].buttons, rows[i].stickX));
        OpenPads();
        EXPECT_EQ(HeldKeys(), rows[i].held) << "row " << i << ", pad " << user;
    }
}

// Like the keys, a pad counts only while the game's window is in front, and is not even asked
// otherwise; the keyboard and the pads add up.
TEST_F(PadTest, PadsCountOnlyWhileTheWindowIsInFront) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "WindowClass";
    RegisterClassExA(&windowClass);
    mainWindow = CreateWindowExA(0, "WindowClass", "Vantorel", WS_POPUP | WS_VISIBLE, 0, 0, 1024,
                                 768, nullptr, nullptr, nullptr, nullptr);
    scripted::SetPad(3, Pad(XINPUT_GAMEPAD_DPAD_RIGHT));
    OpenPads();
    scripted::SetKey(VK_F5, true);
    EXPECT_EQ(HeldKeys(), "RF");
    scripted::SetForeground(false);
    const size_t before = scripted::Calls().size();
    EXPECT_EQ(HeldKeys(), "");
    EXPECT_EQ(Asked(before), "");
}

// The first of the three names that loads is XInput; with none, or without XInputGetState, the
// keys play alone, silently.
TEST_F(PadTest, XInputIsTheFirstOfItsNamesThatLoads) {
    const struct {
        const char* failing;
        int failures;
        size_t tried;
        bool pads;
    } rows[] = {{"LoadLibraryA", 0, 1, true},
                {"LoadLibraryA", 1, 2, true},
                {"LoadLibraryA", 2, 3, true},
                {"LoadLibraryA", 3, 3, false},
                {"GetProcAddress", 1, 1, false}};
    const std::vector<std::string> names = {"xinput1_4.dll", "xinput9_1_0.dll", "xinput1_3.dll"};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.failing) + " x" + std::to_string(row.failures));
        ResetEverything();
        scripted::FailCall(row.failing, row.failures);
        scripted::SetPad(0, Pad(XINPUT_GAMEPAD_BACK));
        scripted::SetKey(VK_RETURN, true);
        OpenPads();
        EXPECT_EQ(Libraries(), std::vector<std::string>(names.begin(), names.begin() + row.tried));
        EXPECT_EQ(HeldKeys(), row.pads ? "EX" : "E");
        EXPECT_EQ(Asked(0), row.pads ? "01230000" : "");
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
    EXPECT_EQ(Asked(0), "0123");
    const struct {
        DWORD at; // ms after the start
        int plug; // the pad plugged in holding Right before the look, or -1
        int unplug;
        const char* asked;
        bool right;
    } looks[] = {
        {0, -1, -1, "", false},     {199, -1, -1, "", false},   {200, -1, -1, "0", false},
        {201, -1, -1, "", false},   {399, 2, -1, "", false},    {400, -1, -1, "1", false},
        {600, -1, -1, "2", true},   {601, -1, -1, "2", true},   {800, -1, -1, "23", true},
        {1000, -1, -1, "02", true}, {1001, -1, 2, "2", false},  {1002, -1, -1, "", false},
        {1200, -1, -1, "1", false}, {1400, -1, -1, "2", false},
    };
    for (const auto& look : looks) {
        scripted::SetClock(start + look.at);
        if (look.plug >= 0)
            scripted::SetPad(look.plug, Pad(XINPUT_GAMEPAD_DPAD_RIGHT));
        if (look.unplug >= 0)
            scripted::UnplugPad(look.unplug);
        const size_t before = scripted::Calls().size();
        EXPECT_EQ(KeyHeld(VK_RIGHT), look.right) << look.at;
        EXPECT_EQ(Asked(before), look.asked) << look.at;
    }
}

// The game takes the pads when it starts: Back on a pad quits it from the first frame, in order.
TEST_F(PadTest, BackOnAPadQuitsTheGame) {
    TempDir dir;
    scripted::SetPad(1, Pad(XINPUT_GAMEPAD_BACK));
    scripted::OnPump([](int pump) {
        if (pump == 100) {
            ADD_FAILURE() << "Back did not quit";
            scripted::SetKey(VK_ESCAPE, true);
        }
    });
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 1), 0);
    EXPECT_EQ(scripted::CallCount("Flip"), 0);
    EXPECT_EQ(ReadFile("Log.txt"),
              "Could not open FinalTitle.bmp\nGame successfully returning...\n");
}

} // namespace
