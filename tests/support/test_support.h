// Helpers shared by the test programs.
#ifndef VANTOREL_TESTS_TEST_SUPPORT_H
#define VANTOREL_TESTS_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <string>

// Puts every process-wide game value back to its start-up state: the world, the three
// deadlines, the random generator, the frame-rate counter. The values are the program's own,
// copied before the first test ran, so a wrong start value in the game shows in the tests.
void ResetGame();

// Installs a fresh scripted host and resets the game, the display handles and the game window
// to their start-up state (without releasing anything).
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

#endif
