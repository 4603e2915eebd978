// Helpers shared by the test programs.
#ifndef VANTOREL_TESTS_TEST_SUPPORT_H
#define VANTOREL_TESTS_TEST_SUPPORT_H

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

// A fresh scripted host, and every process-wide value back to its start (nothing released).
void ResetEverything();

class FreshProgram : public ::testing::Test {
  protected:
    void SetUp() override { ResetEverything(); }
};

// A fresh temporary directory that is the working directory for its lifetime.
class TempDir {
  public:
    TempDir();
    ~TempDir();

  private:
    std::string path_;
    std::string previous_;
};

// The whole content of a file ("" when it can't be read).
std::string ReadFile(const std::string& path);

// The boxes shown so far, one "owner|text|caption|style" line each, the owner "window" for
// mainWindow and "none" for none.
std::string Boxes();

// Writes "FinalTitle.bmp" in the working directory: a 24-bit file's headers for this size, then
// `pixels` (blue, green, red bytes from the bottom row up; missing pixels read as black).
void WriteTitle(LONG width, LONG height, const std::string& pixels = "");

#endif
