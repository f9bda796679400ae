// Dialog templates of the wizard pages and of the Target-Z wizard.
#pragma once

#include "platform/window/windowapi.h"

namespace brimwiz {
void RegisterPageTemplates(HINSTANCE module);
// The board, net and IC power pin pages and the add-board-probes dialog.
void RegisterProbePageTemplates(HINSTANCE module);
// The via pages, the via-model type and normalisation impedance pages and the extractor's via port pages.
void RegisterViaPageTemplates(HINSTANCE module);
}  // namespace brimwiz
