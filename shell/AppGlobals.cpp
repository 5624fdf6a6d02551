#include "shell/AppGlobals.h"

int screenWidth = 800;
int screenHeight = 480;
double previewScale = 0.25;
int overlayItemCount = 4;

std::atomic<bool> useFahrenheit{false};

QString familyMiSansRegular;
QString familyAlibabaExtraBold;
QString familyTenSansBold;
