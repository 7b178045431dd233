#pragma once

#include <string>

// Names of the physical inputs ("IN 11".."IN 83") and logical inputs ("LOG1 (1A)".."LOG24"), index 0 "NON".
constexpr int CHANNEL_NAME_COUNT = 25;
extern const char* const g_PhInpChn[CHANNEL_NAME_COUNT];
extern const char* const g_LogInpChn[CHANNEL_NAME_COUNT];
// Setup-type titles the unit reports, in unit order.
extern const char* const g_strSetupLabels[4];

std::string GetPhChnName(int index);
std::string GetLogChnName(int index);
int GetPhChnIndex(const std::string& name);
int GetLogChnIndex(const std::string& name);
// Piece `index` of a ';'-separated list (empty pieces skipped); a single space when there is none.
std::string GetStrOfIndex(const char* list, int index);
