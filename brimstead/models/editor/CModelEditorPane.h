// The six operations of a model editor pane. Each pane is a child dialog of the editor that shows one model kind.
#pragma once

class CModelEditorPane {
public:
  virtual void ShowPane() = 0;
  virtual void HidePane() = 0;
  // The pane's input is acceptable; the pane shows its own messages.
  virtual bool ValidatePane() = 0;
  // Fills the pane from the editor's record.
  virtual void LoadFromModel() = 0;
  // Writes the pane's input into the editor's record.
  virtual void StoreToModel() = 0;
  virtual void EnableEditing(bool editable) = 0;

protected:
  ~CModelEditorPane() = default;
};
