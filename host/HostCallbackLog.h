// A wizard callback of the bundled host that logs every call, one line each, and answers Run and MayClose as told.
#pragma once

#include "brimstead/HostInterfaces.h"

#include <functional>
#include <string>
#include <vector>

namespace host {

class HostCallbackLog final : public CHostWizardCallback {
public:
  bool Run() override;
  bool MayClose() override;
  void OnClosed() override;
  void SelectNet(int one, CHostNet* net) override;
  void Notify(int event, int one) override;
  void HostCommand(int command, int zero) override;

  // What the host does when the module asks it to select a net (after the line is logged): a host selects the net
  // in its board view and tells the wizard.
  void OnSelectNet(std::function<void(CHostNet*)> action) { m_selectNet = std::move(action); }
  void AnswerRun(bool answer) { m_runAnswer = answer; }
  void AnswerMayClose(bool answer) { m_mayCloseAnswer = answer; }
  const std::vector<std::string>& Lines() const { return m_lines; }
  // A line for what reached the host by another road than the callback (its help service).
  void Log(std::string line) { m_lines.push_back(std::move(line)); }
  void Clear() { m_lines.clear(); }

private:
  std::vector<std::string> m_lines;
  std::function<void(CHostNet*)> m_selectNet;
  bool m_runAnswer = true;
  bool m_mayCloseAnswer = true;
};

}  // namespace host
