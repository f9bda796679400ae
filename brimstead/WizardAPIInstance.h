// CWizardAPIInstance<API>: the one object of a wizard interface class. The first factory call makes it and hands
// it to the wizard-dialog seam; every factory call resets it; it is freed only when the module is unloaded (the
// seam let go of first, so nothing reaches a freed object), and a later factory call makes a new one.
//
// The interface classes keep their constructors private and befriend this class.
#pragma once

template <class API>
class CWizardAPIInstance {
public:
  template <class Link>
  static API* Create(void (*registerLink)(Link*)) {
    if (!s_pObject) {
      s_pObject = new API();
      registerLink(s_pObject);
    }
    s_pObject->Reset();
    return s_pObject;
  }

  static API* Get() { return s_pObject; }

  template <class Link>
  static void Destroy(void (*registerLink)(Link*)) {
    registerLink(nullptr);
    delete s_pObject;
    s_pObject = nullptr;
  }

private:
  static inline API* s_pObject = nullptr;   // the host holds it while the module is loaded
};
