#pragma once
// ListBox, ComboBox, DriveListBox and DirListBox.

#include <string>

#include "platform/forms/Control.h"

namespace forms {

// Items of ListBox and ComboBox are numbered from 0; ListIndex -1 is "none".
// Setting ListIndex (or Selected) to a different value raises Click at once,
// even inside another handler. A click of the user on an item raises Click
// (between MouseDown and MouseUp), as do the arrow keys.
class ListBox : public Control {
public:
    explicit ListBox(Init init);
    void AddItem(const std::string& item, int index = -1);  // -1: at the end
    void RemoveItem(int index);                             // Error 5 when out of range
    void Clear();                                           // ListIndex -1, no Click
    std::string List(int index) const;                      // "" out of range
    void SetList(int index, const std::string& item);
    int ListCount() const;
    int ListIndex() const;
    void SetListIndex(int index);
    long ItemData(int index) const;  // Error 381 out of range
    void SetItemData(int index, long value);
    int NewIndex() const;  // index of the item added last, -1 after Clear/RemoveItem
    bool Selected(int index) const;
    void SetSelected(int index, bool v);
    int SelCount() const;
    int TopIndex() const;
    void SetTopIndex(int index);
    std::string Text() const;  // the item at ListIndex
    int MultiSelect() const;   // vbMultiSelectNone, vbMultiSelectSimple, vbMultiSelectExtended
    void SetMultiSelect(int v);
};

class ComboBox : public Control {
public:
    explicit ComboBox(Init init);
    // vbComboDropdown (editable, the default), vbComboSimple, vbComboDropdownList.
    int Style() const;
    void SetStyle(int style);
    void AddItem(const std::string& item, int index = -1);
    void RemoveItem(int index);
    void Clear();  // also empties Text
    std::string List(int index) const;
    void SetList(int index, const std::string& item);
    int ListCount() const;
    // -1 when nothing is chosen, or after the user typed into an editable combo.
    int ListIndex() const;
    void SetListIndex(int index);
    long ItemData(int index) const;
    void SetItemData(int index, long value);
    int NewIndex() const;
    // Editable combos: the edit text (setting it raises Change). Drop-down
    // lists: the chosen item; setting it chooses the item with that text
    // (Error 383 when there is none).
    std::string Text() const;
    void SetText(const std::string& text);
    int SelStart() const;
    void SetSelStart(int v);
    int SelLength() const;
    void SetSelLength(int v);
    // Width of the open list (never narrower than the box).
    double DropDownWidth() const;
    void SetDropDownWidth(double twips);
    bool Locked() const;
    void SetLocked(bool v);
};

// The drives of this machine: the file-system root and the mount points.
class DriveListBox : public Control {
public:
    explicit DriveListBox(Init init);
    // The chosen mount point ("/", "/home", "/media/usb"). Setting it picks
    // the mount point that holds that path and raises Change when it differs.
    std::string Drive() const;
    void SetDrive(const std::string& drive);
    int ListCount() const;
    std::string List(int index) const;
    int ListIndex() const;
    void SetListIndex(int index);
    void Refresh();  // reads the mount points again
};

// The folder tree as VB shows it: the folders from the root down to Path,
// then Path's subfolders. ListIndex -1 is Path itself, -2 its parent and so
// on; 0 .. ListCount-1 are the subfolders. Double-clicking (or Enter on) an
// entry opens it.
class DirListBox : public Control {
public:
    explicit DirListBox(Init init);
    std::string Path() const;
    // Raises Change when it differs; Error 76 when the folder does not exist.
    void SetPath(const std::string& path);
    int ListCount() const;  // subfolders of Path
    std::string List(int index) const;
    int ListIndex() const;
    void SetListIndex(int index);
    void Refresh();  // reads the folder again
};

}  // namespace forms
