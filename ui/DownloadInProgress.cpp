#include "ui/DownloadInProgress.h"

std::atomic<bool> downloadInProgress{false};
