// Helpers shared by the test programs.
#ifndef VANTOREL_TESTS_TEST_SUPPORT_H
#define VANTOREL_TESTS_TEST_SUPPORT_H

#include <string>

// Puts every process-wide game value back to its start-up state: the world, the three
// deadlines, the random generator, the frame-rate counter. The values are the program's own,
// copied before the first test ran, so a wrong start value in the game shows in the tests.
void ResetGame();

// Puts the display handles and the game window back to their start-up state (without
// releasing anything: call after PortReset or a release).
void ResetDisplayHandles();

// Installs a fresh scripted host and resets the game and the display handles.
void ResetEverything();

// A fresh temporary directory that is the working directory for its lifetime.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
    std::string previous_;
};

// The whole content of a file ("" when it can't be read).
std::string ReadFile(const std::string& path);

#endif
