// The host's view of the capacitor model editor's interface object, returned by the exported
// CreateCapacitorModelEditorDialog: the operations in the order the host calls them.
#pragma once

#include "brimstead/HostInterfaces.h"

class CCapacitorModelEditorAPITable {
public:
  // Splits the text at carriage returns, tabs and line feeds and appends each piece to the model directories.
  // Each directory text ends with a path separator: file names are appended to it as they are.
  /* 0 */ virtual void SetModelDirectories(const char* text) = 0;
  /* 1 */ virtual bool SetContext(DWORD context) = 0;   // kept, never read
  /* 2 */ virtual bool SetModel(CHostCapacitorModel* model) = 0;
  /* 3 */ virtual void SetModelLibrary(CHostModelLibrary* library) = 0;
  /* 4 */ virtual void SetLayers(CHostCollection* layers) = 0;   // CHostLayer items, for the ESL calculator
  /* 5 */ virtual void SetPinNames(const char* text) = 0;         // split as SetModelDirectories
  /* 6 */ virtual int RunModal() = 0;                             // 1 OK, 2 otherwise
  // Before any run the model of SetModel; after a run a new view of that run's result, which the host deletes.
  /* 7 */ virtual CHostCapacitorModel* GetModel() = 0;
  /* 8 */ virtual void Delete() = 0;
  /* 9 */ virtual void EnableExtendedKinds() = 0;

protected:
  ~CCapacitorModelEditorAPITable() = default;
};
