// Recording DCs for tests: a DC (or a recording mode on any DC) that logs each primitive after mapping and
// clipping as a stable text line (line forms in DcRecorder.h) while still drawing, so pixels can be checked too.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/DcRecorder.h"
#include "platform/gdi/gdiapi.h"

namespace plat {

// A DC drawing on its own white w x h surface and recording; GetObjectType answers OBJ_DC, TECHNOLOGY is the
// display's. Delete it with DeleteDC.
HDC CreateRecordingDC(int width, int height);
// Puts any DC into recording mode (a window's paint DC, a memory DC) and answers the log; null for a stale DC.
std::shared_ptr<DcRecorder> StartRecording(HDC dc);
void StopRecording(HDC dc);
// The log of a recording DC or a DC in recording mode; null otherwise.
std::shared_ptr<DcRecorder> RecorderOf(HDC dc);

// Live GDI objects, DCs included (stock objects count too, once created), so tests can check that drawing code
// frees what it creates.
size_t GdiObjectCount();

}  // namespace plat
