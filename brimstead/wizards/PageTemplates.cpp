#include "brimstead/wizards/PageTemplates.h"

namespace brimwiz {
void RegisterPageTemplates(HINSTANCE) {}
}  // namespace brimwiz
