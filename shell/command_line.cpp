#include "shell/command_line.h"

#include <cstring>

bool AskedForWindow(const char* commandLine) {
    constexpr const char* Word = "--window";
    const size_t length = std::strlen(Word);
    const char* at = commandLine;
    while (at && *at) {
        while (*at == ' ' || *at == '\t')
            ++at;
        const size_t word = std::strcspn(at, " \t");
        if (word == length && std::strncmp(at, Word, length) == 0)
            return true;
        at += word;
    }
    return false;
}
