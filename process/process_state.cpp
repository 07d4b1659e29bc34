#include "process/process_state.h"

bool DebugMode = false;
bool ForceOptimization = false;
bool PresetsOnly = false;
bool LogOpen = false;
std::string SoftwareKeyPath;
const char kSoftwareKeyPath[] = "\\Software\\Calvorne\\Kestrave\\";
