#pragma once
// The capacitor model helper: what the host and the capacitor dialogs ask about a capacitor model of the host
// (complete? file present? how many ports? do they fit a capacitor's pins?), and the one-line texts that describe
// models and capacitances. One instance lives for the whole process; GetDecouplingModelsHelper returns it.
//
// The host calls the eight operations through the interface's table, so their order is part of the interface.

#include "brimstead/HostInterfaces.h"
#include "brimstead/models/NaturalCompare.h"
#include "platform/base/CString.h"

#include <vector>

class CDecouplingModelsHelper {
public:
    /* 0 */ virtual void AddModelDirectories(const char* text) = 0;
    /* 1 */ virtual bool IsModelValid(CHostCapacitorModel* model) = 0;
    // -1 nothing to check (C-L-R, unknown kind, no file name), 0 the file is not found or cannot be read, 1 it can.
    /* 2 */ virtual int CheckModelFile(CHostCapacitorModel* model) = 0;
    // 0 when it cannot be told.
    /* 3 */ virtual int GetModelPortCount(CHostCapacitorModel* model) = 0;
    /* 4 */ virtual bool ModelMatchesPins(CHostCapacitorModel* model, CHostComponent* capacitor) = 0;
    /* 5 */ virtual bool HasSamePinsAsFirst(CHostComponent* capacitor, CHostCapacitorGroup* group) = 0;
    /* 6 */ virtual bool HaveSamePins(CHostComponent* a, CHostComponent* b) = 0;
    // Held in one buffer that the next call overwrites.
    /* 7 */ virtual const char* GetModelDescription(CHostCapacitorModel* model) = 0;

    // The model-library directories, in search order. The model editor's Touchstone and PLS panes replace the
    // whole list with their own each time they list files; AddModelDirectories appends to whatever it holds.
    const std::vector<CString>& GetModelDirectories() const { return m_directories; }
    void SetModelDirectories(const std::vector<CString>& directories) { m_directories = directories; }

protected:
    CDecouplingModelsHelper() = default;
    ~CDecouplingModelsHelper() = default; // the host never deletes the helper

    std::vector<CString> m_directories;
};

// The process's helper (constructed while the library loads).
extern "C" __attribute__((visibility("default"))) CDecouplingModelsHelper* GetDecouplingModelsHelper();

// The first existing directory + name of the helper's directory list, or null; the text lives in one buffer that
// the next call overwrites.
const char* FindModelFile(const char* name);

// A model file name as the helper opens it: absolute names as they are, relative ones looked up in the model
// directories. Empty when a relative name is not found.
CString ResolveModelFile(const char* name);

// Port count of a Touchstone file, or of a "pls" file's header; the name is resolved first (0 when not found).
int CountTouchstonePorts(const char* path);
int ReadHeaderPortCount(const char* path);

// The model is complete: a library model has its library text and a name; otherwise by kind: C-L-R a capacitance
// in (0, 0.004) farads, SPICE a file and a subcircuit name, Touchstone and "pls" a file.
bool IsCapacitorModelValid(CHostCapacitorModel* model);

// "%g F", "%g mF", "%g uF" or "%g pF" of the part's capacitance (10 nF reads 0.01 uF, 9 nF 9000 pF); empty for
// no part or no positive capacitance.
CString FormatCapacitance(CHostPart* part);

// "<undefined>" for an incomplete model; "Library: <name>" for a library model; C-L-R values; "file/subcircuit;"
// for SPICE; the file name for Touchstone and "pls".
CString FormatModelDescription(CHostCapacitorModel* model);
