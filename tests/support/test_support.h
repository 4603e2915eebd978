// Helpers shared by the test programs.
#ifndef VANTOREL_TESTS_TEST_SUPPORT_H
#define VANTOREL_TESTS_TEST_SUPPORT_H

#include <windows.h>
#include <ddraw.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Installs a fresh scripted host and puts every process-wide value back to its start-up state:
// the world, the deadlines, the random generator, the frame-rate counter, the display handles
// and the game window (without releasing anything). The values are the program's own, copied
// before the first test ran, so a wrong start value in the game shows in the tests.
void ResetEverything();

// A test that starts from the program's start-up state on a fresh scripted host.
class FreshProgram : public ::testing::Test {
  protected:
    void SetUp() override { ResetEverything(); }
};

// A fresh temporary directory that is the working directory for its lifetime.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

  private:
    std::string path_;
    std::string previous_;
};

// The whole content of a file ("" when it can't be read).
std::string ReadFile(const std::string& path);

// A title file as the game reads it: the 54 header bytes for this size (bfOffBits as given),
// then `pixels` as they stand, blue-green-red, bottom row first.
std::string BitmapFile(LONG width, LONG height, const std::string& pixels, DWORD pixelOffset = 54);

// A 24-bit file of this size whose every pixel is `colour` (a 5-6-5 value written so that it
// loads back exactly).
std::string FlatBitmapFile(LONG width, LONG height, WORD colour);

void WriteFile(const std::string& path, const std::string& bytes);

// A surface's pixels without the pitch padding, [y * width + x]; none when it can't be locked.
std::vector<WORD> SurfacePixels(LPDIRECTDRAWSURFACE4 surface);

// Registers the game's window class, creates mainWindow and sets the display up, as WinMain
// does. False when any of it failed.
bool StartDisplay();

#endif
