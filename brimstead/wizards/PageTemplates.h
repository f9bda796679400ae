// Dialog templates of the wizard pages and of the Target-Z wizard.
#pragma once

#include "platform/window/windowapi.h"

namespace brimwiz {
void RegisterPageTemplates(HINSTANCE module);
}  // namespace brimwiz
