// What a screen reader sees of one form. The form's controls mostly have no
// windows of their own, so the system cannot see them: the form answers the
// readers' query for its client area (WM_GETOBJECT) with an accessible
// object of its own (Microsoft Active Accessibility, which UI Automation
// clients reach through the system's bridge). Its children are the form's
// controls that have a role, in the order they were placed: each with its
// name, role, state, place on screen and value, and the buttons and links
// with a default action that presses them. Changes are announced as the
// system's accessibility events.
//
// A reader may hold the object longer than the window lives: once the
// window is gone the object stays, answering that it is no longer
// connected. The accessibility libraries are loaded when a reader first
// asks, not at start.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/AccessibleRole.h"

namespace ui {

class TControl;
class TForm;

class TAccessibleForm {
 public:
  explicit TAccessibleForm(TForm& form);
  ~TAccessibleForm();
  TAccessibleForm(const TAccessibleForm&) = delete;
  TAccessibleForm& operator=(const TAccessibleForm&) = delete;

  // The controls with a role, in order; a child's id is its place in this
  // list, counted from 1 (0 stands for the form's client area itself).
  std::vector<TControl*> Children() const;
  long ChildId(const TControl& control) const;
  TControl* ChildById(long id) const;

  // Raises the system's event for a change of `control`, if it is a child.
  void Notify(const TControl& control, TAccessibleChange change) const;

  // A reader's press of a child runs from the message loop, so that the
  // reader's call returns at once, however long the click takes.
  void PostDefaultAction(long childId) const;

  // WM_GETOBJECT, the posted presses and the window's end; true when
  // handled, with the answer in `result`.
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  TForm& Form() const { return form_; }

 private:
  class TObject;

  // Cuts the object off from the form; readers that still hold it get
  // "not connected" from then on.
  void Disconnect();

  TForm& form_;
  TObject* object_ = nullptr;
  // Whether this object initialised COM on the thread, and so ends it when
  // it is destroyed.
  bool ownsApartment_ = false;
};

}  // namespace ui
