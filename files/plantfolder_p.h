#pragma once
// What the two halves of PlantFolder share: the side names of a run's files.

#include "plantfolder.h"

#include <algorithm>
#include <cstring>

namespace hvx {

constexpr int NameMax = 255; // bytes of one name in a folder

// NAME.TOKEN followed by an ending, the name cut to fit a folder (never
// inside a UTF-8 sequence), made without allocating: a signal handler makes
// them too.
class PlantFolder::SideName {
public:
    SideName(const char *name, int length, const char *token, const char *ending)
    {
        const int endingLength = int(std::strlen(ending));
        int cut = std::min(length, NameMax - 7 - endingLength);
        while (cut > 0 && cut < length && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
        std::memcpy(m_name, name, size_t(cut));
        m_name[cut] = '.';
        std::memcpy(m_name + cut + 1, token, 6);
        std::memcpy(m_name + cut + 7, ending, size_t(endingLength) + 1);
    }
    // The name itself.
    SideName(const char *name, int length)
    {
        std::memcpy(m_name, name, size_t(std::min(length, NameMax)));
        m_name[std::min(length, NameMax)] = '\0';
    }
    const char *get() const { return m_name; }

private:
    char m_name[NameMax + 1];
};

} // namespace hvx
