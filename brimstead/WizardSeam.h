// The seam between the analysis records and the four wizard interface objects.
//
// The records ask the interface object of their wizard for the geometry query and callback the host gave it and
// for its lists of enabled probes. The interface objects register themselves here when they are made; until then
// (and in a process without them) every accessor answers null and the records behave as if nothing were enabled
// and no geometry were there.
#pragma once

#include "brimstead/HostInterfaces.h"
#include "platform/base/wintypes.h"

class CViaPairProbe;
class CPortProbe;

// What every wizard interface object offers the records.
class CWizardAPILink {
public:
  virtual CHostGeometryQuery* GetGeometryQuery() = 0;
  virtual CHostWizardCallback* GetCallback() = 0;

protected:
  ~CWizardAPILink() = default;
};

// The decoupling-analysis wizard's object (CBrimsteadAPI).
class CBrimsteadAPILink : public CWizardAPILink {
public:
  // Rebuilds the object's list of the record's enabled probes; answers its length.
  virtual int BuildEnabledProbeList() = 0;

protected:
  ~CBrimsteadAPILink() = default;
};

// The bypass wizard's object (CBypassWizardAPI).
class CBypassWizardAPILink : public CWizardAPILink {
public:
  virtual int HasEnabledProbe() = 0;   // 1 when any via probe of the record is enabled

protected:
  ~CBypassWizardAPILink() = default;
};

// The via-model wizard's object (CDiffViaModelWizardAPI).
class CDiffViaModelWizardAPILink : public CWizardAPILink {
public:
  virtual BYTE GetDiffViaType() = 0;
  virtual bool GetExportDifferentialMode() = 0;
  virtual bool GetExportCommonMode() = 0;
  virtual int HasProbes() = 0;
  virtual CViaPairProbe* GetProbe(int index) = 0;

protected:
  ~CDiffViaModelWizardAPILink() = default;
};

// The model extractor's object (CModelExtractorWizardAPI).
class CModelExtractorWizardAPILink : public CWizardAPILink {
public:
  virtual int BuildEnabledPortList() = 0;
  virtual CPortProbe* GetEnabledPort(int index) = 0;

protected:
  ~CModelExtractorWizardAPILink() = default;
};

// Null until an object registers itself (and again after it registers null).
CBrimsteadAPILink* GetBrimsteadAPI();
CBypassWizardAPILink* GetBypassWizardAPI();
CDiffViaModelWizardAPILink* GetDiffViaModelWizardAPI();
CModelExtractorWizardAPILink* GetModelExtractorWizardAPI();

void RegisterBrimsteadAPI(CBrimsteadAPILink* api);
void RegisterBypassWizardAPI(CBypassWizardAPILink* api);
void RegisterDiffViaModelWizardAPI(CDiffViaModelWizardAPILink* api);
void RegisterModelExtractorWizardAPI(CModelExtractorWizardAPILink* api);

// The geometry query of an object, null-safe.
inline CHostGeometryQuery* GeometryQueryOf(CWizardAPILink* api) { return api ? api->GetGeometryQuery() : nullptr; }
