// The decoupling groups dialog's records: one CapacitorEntry per decoupling capacitor of the board and one
// GroupEntry per group (plus the "<new>" entry). Every grid row keeps a pointer to its entry in the item data
// of its row header; the kind, first in both records, tells which record a row holds.
#pragma once

#include "brimstead/HostInterfaces.h"
#include "platform/base/CString.h"

enum GroupEntryKind : int {
  EntryCapacitor = 0,
  EntryGroup = 1,
  EntryNewGroup = 2,
};

// Read through a row's item data: both records start with their kind.
struct GroupsRowEntry {
  int kind = EntryCapacitor;
};

struct GroupEntry : GroupsRowEntry {
  explicit GroupEntry(int entryKind = EntryGroup) { kind = entryKind; }

  CHostCapacitorGroup* hostGroup = nullptr;   // none for a group made in the dialog and not yet committed
  CHostComponent* reference = nullptr;        // the first member; pin-set checks compare against it
  CString name;
  // The members' texts of grid columns 3 to 5: "\n" when the members differ.
  CString partName, value, dimension;
  int memberCount = 0;
  bool deleted = false;          // lost its last member: deleted on OK
  bool expanded = false;         // its member rows are shown
  bool nameChanged = false;      // the name is written on OK
  bool membersChanged = false;   // the summary must be recomputed
};

struct CapacitorEntry : GroupsRowEntry {
  CHostComponent* hostCapacitor = nullptr;
  CString refDes, partName, value, dimension;   // grid columns 2 to 5
  GroupEntry* group = nullptr;                  // where it stands now; none: in the capacitor grid
  GroupEntry* committedGroup = nullptr;         // where the host has it (as loaded or last written)
};

// The summary text of a column whose members differ.
inline constexpr const char* MembersDifferText = "\n";
