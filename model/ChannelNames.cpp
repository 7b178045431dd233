#include "model/ChannelNames.h"

#include <vector>

const char* const g_PhInpChn[CHANNEL_NAME_COUNT] = {
    "NON",   "IN 11", "IN 12", "IN 13", "IN 21", "IN 22", "IN 23", "IN 31", "IN 32",
    "IN 33", "IN 41", "IN 42", "IN 43", "IN 51", "IN 52", "IN 53", "IN 61", "IN 62",
    "IN 63", "IN 71", "IN 72", "IN 73", "IN 81", "IN 82", "IN 83"};

const char* const g_LogInpChn[CHANNEL_NAME_COUNT] = {
    "NON",       "LOG1 (1A)", "LOG2 (1B)", "LOG3 (1C)", "LOG4 (2A)", "LOG5 (2B)", "LOG6 (2C)",
    "LOG7 (3A)", "LOG8 (3B)", "LOG9",      "LOG10",     "LOG11",     "LOG12",     "LOG13",
    "LOG14",     "LOG15",     "LOG16",     "LOG17",     "LOG18",     "LOG19",     "LOG20",
    "LOG21",     "LOG22",     "LOG23",     "LOG24"};

const char* const g_strSetupLabels[4] = {"General", "Physical Inputs", "Logical Inputs", "Alarms"};

std::string GetPhChnName(int index) {
    if (index < 0 || index >= CHANNEL_NAME_COUNT) return std::string();
    return g_PhInpChn[index];
}

std::string GetLogChnName(int index) {
    if (index < 0 || index >= CHANNEL_NAME_COUNT) return std::string();
    return std::string(g_LogInpChn[index]).substr(0, 4);
}

int GetPhChnIndex(const std::string& name) {
    for (int i = 0; i < CHANNEL_NAME_COUNT; ++i)
        if (name == g_PhInpChn[i]) return i;
    return -1;
}

// Compares the first four characters only, so "LOG1" and "LOG1 (1A)" (and also "LOG10") give 1.
int GetLogChnIndex(const std::string& name) {
    const std::string key = name.substr(0, 4);
    for (int i = 0; i < CHANNEL_NAME_COUNT; ++i)
        if (key == std::string(g_LogInpChn[i]).substr(0, 4)) return i;
    return -1;
}

std::string GetStrOfIndex(const char* list, int index) {
    const std::string text(list ? list : "");
    int piece = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(';', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) {
            if (piece == index) return text.substr(start, end - start);
            ++piece;
        }
        start = end + 1;
    }
    return " ";
}
