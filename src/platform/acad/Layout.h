#pragma once
// Layouts: "Model" (model space) and the paper-space layouts ("Layout1", ...),
// each with its block. Iteration follows the tab order.

#include <string>
#include <vector>

#include "platform/acad/AcadObject.h"
#include "platform/acad/EntityData.h"
#include "platform/acad/ObjectList.h"

namespace acad {

class Block;

// Plot and limit settings of a layout that the host keeps for the file only.
struct LayoutData {
    Point3d limitsMin{0.0, 0.0, 0.0};
    Point3d limitsMax{12.0, 9.0, 0.0};
    Point3d insertionBase;
    Point3d extentsMin;
    Point3d extentsMax;
    std::vector<RawGroup> plotSettings;  // AcDbPlotSettings groups as read
};

class Layout : public AcadObject {
public:
    Layout(acad::Document& doc, std::string name, acad::Block* block, int tabOrder);
    std::string ObjectName() const override { return "AcDbLayout"; }

    std::string Name() const;
    void SetName(const std::string& name);  // not "Model"; unique
    acad::Block& Block() const { return *block_; }
    bool ModelType() const;
    int TabOrder() const { return tabOrder_; }
    void SetTabOrder(int t) { tabOrder_ = t; }
    // Deletes the layout with its paper space; "Model" cannot be deleted. Deleting
    // the active layout makes the next one active; the last paper layout deleted
    // leaves a new empty "Layout1", as the host does.
    void Delete() override;

    LayoutData& Data() { return data_; }
    const LayoutData& Data() const { return data_; }

private:
    std::string name_;
    acad::Block* block_;
    int tabOrder_;
    LayoutData data_;
};

class Layouts {
public:
    explicit Layouts(acad::Document& doc) : doc_(doc) {}

    int Count() const { return static_cast<int>(list_.Count()); }
    Layout* Item(int index) const;
    Layout* Item(const std::string& name) const;  // case-insensitive; KeyNotFound
    // New empty paper-space layout; DuplicateKey when the name is used.
    Layout* Add(const std::string& name);
    ObjectList<Layout>::iterator begin() const { return list_.begin(); }
    ObjectList<Layout>::iterator end() const { return list_.end(); }

    Layout* Find(const std::string& name) const;
    // Copy of a paper-space layout with its entities (the "Layout copy" command).
    Layout* Copy(const Layout& source, const std::string& newName);
    // Engine: registers a layout built by the document or the DXF reader.
    Layout* Insert(std::unique_ptr<Layout> layout);
    void NoteErased(const Layout& l) { list_.NoteErased(&l); }
    // Paper layouts in tab order.
    std::vector<Layout*> PaperLayouts() const;

private:
    acad::Document& doc_;
    ObjectList<Layout> list_;
};

}  // namespace acad
