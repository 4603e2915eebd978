// Helpers shared by the test programs.
#ifndef VANTOREL_TESTS_TEST_SUPPORT_H
#define VANTOREL_TESTS_TEST_SUPPORT_H

#include <string>

// Puts every process-wide game value back to its start-up state: the world, the three
// deadlines, the random generator, the frame-rate counter.
void ResetGame();

// Empties the display handles (without releasing: call after PortReset or a release).
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
