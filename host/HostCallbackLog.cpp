#include "host/HostCallbackLog.h"

namespace host {

bool HostCallbackLog::Run() {
  m_lines.push_back("Run");
  return m_runAnswer;
}

bool HostCallbackLog::MayClose() {
  m_lines.push_back("MayClose");
  return m_mayCloseAnswer;
}

void HostCallbackLog::OnClosed() { m_lines.push_back("OnClosed"); }

void HostCallbackLog::SelectNet(int one, CHostNet* net) {
  m_lines.push_back("SelectNet " + std::to_string(one) + " " + (net && net->GetName() ? net->GetName() : "<none>"));
  if (m_selectNet)
    m_selectNet(net);
}

void HostCallbackLog::Notify(int event, int one) {
  m_lines.push_back("Notify " + std::to_string(event) + " " + std::to_string(one));
}

void HostCallbackLog::HostCommand(int command, int zero) {
  m_lines.push_back("HostCommand " + std::to_string(command) + " " + std::to_string(zero));
}

}  // namespace host
