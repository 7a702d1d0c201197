#pragma once
// How the main window's lists and its status label reach a screen reader.
//
// A list is named by the label beside it ("Input type") and tells its chosen
// item as its value; the toolkit's own lists on this platform take their
// chosen item for their name. The status label is a notification: it is
// shown to a screen reader while it holds a message, and each message is
// announced as it arrives.

class QComboBox;
class QLabel;

namespace hvx {

// Called before the window's controls are made; does its work once.
void installControlAccessibility();

// Announces the message the status label holds now (nothing when it is
// empty).
void announceStatus(QLabel *statusLabel);

// A closed list that the user changes while it has the focus (the arrow
// keys, Home, End, a typed letter) announces its new item: screen readers
// take the toolkit's own news of it (a name change and a selection change
// of a list) for repeats of what they said on focus.
void announceListChanges(QComboBox *list);

} // namespace hvx
