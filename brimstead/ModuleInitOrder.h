// The order in which the module's static objects are constructed at load (and destroyed, in reverse, at unload):
// an empty array, the capacitor-model helper, the application object, the wizard dialogs' factory (in the module
// library, not in its test copy). They live in different files, so the order is given to the compiler explicitly;
// every unprioritised static object of the module is constructed after them and destroyed before them. The application's start-up runs from one of those (ModuleEntry.cpp).
#pragma once

#define BRIM_INIT_ORDER_ARRAY 1001
#define BRIM_INIT_ORDER_MODELS_HELPER 1002
#define BRIM_INIT_ORDER_APP 1003
#define BRIM_INIT_ORDER_WIZARD_DIALOGS 1004
