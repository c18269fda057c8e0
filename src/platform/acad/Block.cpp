#include "platform/acad/Block.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <typeinfo>
#include <unordered_set>

#include "platform/acad/BlockReference.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/Document.h"
#include "platform/acad/DxfFile.h"
#include "platform/acad/EmitSupport.h"
#include "platform/acad/Error.h"
#include "platform/acad/Hatch.h"
#include "platform/acad/Layout.h"
#include "platform/acad/OtherEntities.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/SpatialIndex.h"
#include "platform/acad/Spline.h"
#include "platform/acad/SystemVariables.h"
#include "platform/acad/TextEntities.h"

namespace acad {

namespace {

void CheckList(const std::vector<double>& v, std::size_t stride, std::size_t minPoints, const char* what)
{
    if (v.size() % stride != 0 || v.size() < stride * minPoints) ThrowInvalidInput(what);
    for (double d : v)
        if (!std::isfinite(d)) ThrowInvalidInput(what);
}

// Names of block definitions: symbol names, with the "*" of anonymous and space
// blocks and the "|" of external-reference dependents allowed.
bool IsValidBlockName(const std::string& name)
{
    if (name.empty()) return false;
    std::string core = name[0] == '*' ? name.substr(1) : name;
    std::string plain;
    for (char c : core) plain += c == '|' ? '_' : c;
    return !plain.empty() && IsValidSymbolName(plain);
}

// A drawing file as named (folders in either slash, as FileOfName reads them),
// else by its file name in the drawing's and the host's support folders; empty
// when none exists. A name FileOfName refuses is refused here too: it names no
// file that another folder could stand in for.
std::filesystem::path FindDrawingFile(const acad::Document& doc, const std::string& name)
{
    std::filesystem::path path = FileOfName(name);
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) return path;
    for (const auto& folder : doc.SupportFolders())
        if (std::filesystem::is_regular_file(folder / path.filename(), ec)) return folder / path.filename();
    return {};
}

// Reads a drawing file and copies its model space into a new definition.
acad::Block* DefineFromFile(acad::Document& doc, const std::filesystem::path& path, const std::string& blockName,
                            bool asXRef)
{
    acad::Document source(doc.Application());
    ReadDxf(source, path);
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(path, ec);
    return doc.ImportAsBlock(source, blockName, source.Variables().Get("INSBASE").AsPoint(), asXRef, ec ? path : full);
}

// Checks an insertion's point, scales (not zero) and rotation.
void CheckPlacement(const Point3d& insertionPoint, double xScale, double yScale, double zScale, double rotation)
{
    detail::CheckFinite(insertionPoint, "ponto de inserção");
    for (double s : {xScale, yScale, zScale})
        if (!std::isfinite(s) || s == 0.0) ThrowInvalidInput("escala de inserção (não pode ser zero)");
    if (!std::isfinite(rotation)) ThrowInvalidInput("rotação de inserção");
}

BlockReferenceData Placement(const acad::Document& doc, const acad::Block& def, const Point3d& insertionPoint,
                             double xScale, double yScale, double zScale, double rotation)
{
    BlockReferenceData d;
    d.block = doc.Blocks().IndexOf(def);
    d.insertionPoint = insertionPoint;
    d.xScale = xScale;
    d.yScale = yScale;
    d.zScale = zScale;
    d.rotation = NormalizeAngle(rotation);
    return d;
}

// True when a path names a drawing file rather than a block of the drawing.
bool IsFileName(const std::string& name)
{
    if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos) return true;
    std::string up = UpperName(name);
    return up.size() > 4 && (up.ends_with(".DWG") || up.ends_with(".DXF"));
}
}  // namespace

Block::Block(acad::Document& doc, const std::string& name, const Point3d& origin)
    : AcadObject(doc), name_(name), origin_(origin)
{
}

Block::~Block() = default;

std::string Block::Name() const
{
    return name_;  // readable after Delete too: writers walk every record by index
}

void Block::SetName(const std::string& name)
{
    CheckAlive();
    if (IsLayout())
        throw Error(ErrorCode::NotApplicable, "O bloco \"" + name_ + "\" de um espaço não pode ser renomeado");
    if (!IsValidBlockName(name)) ThrowInvalidInput("nome de bloco \"" + name + "\"");
    Block* other = Document().Blocks().Find(name);
    if (other && other != this) throw Error(ErrorCode::DuplicateKey, "O bloco \"" + name + "\" já existe");
    std::string old = name_;
    name_ = name;
    Document().Blocks().Renamed(*this, old);
    // A dimension or a table that names it now draws it once read again: not from inside it.
    if (Document().Blocks().Checked() && LoopFinder().From(*this)) {
        name_ = old;
        Document().Blocks().Renamed(*this, name);
        ThrowInvalidInput("o bloco \"" + old + "\" não pode ser renomeado para \"" + name +
                          "\": um bloco que ele contém o desenharia (referência circular)");
    }
    Document().NoteChange();
}

void Block::SetOrigin(const Point3d& p)
{
    CheckAlive();
    detail::CheckFinite(p, "ponto base do bloco");
    origin_ = p;
    if (!IsLayout()) Document().NoteBlockChanged(*this);
    Document().NoteChange();
}

bool Block::IsModelSpace() const { return layout_ && layout_->ModelType(); }

Entity* Block::Item(int index) const
{
    CheckAlive();
    Entity* e = index >= 0 ? entities_.At(static_cast<std::size_t>(index)) : nullptr;
    if (!e) ThrowKeyNotFound("Item de índice " + std::to_string(index) + " do bloco \"" + name_ + "\"");
    return e;
}

Entity* Block::LastEntity() const { return entities_.Last(); }

Entity* Block::AppendEntity(std::unique_ptr<Entity> entity)
{
    CheckAlive();
    if (!entity) ThrowInvalidInput("entidade nula");
    if (&entity->Document() != &Document())
        throw Error(ErrorCode::WrongDocument, "A entidade pertence a outro desenho");
    // A copy, or a clone, drawing a block here (the reader looks through what it read at its end).
    if (!IsLayout() && Document().Blocks().Checked())
        if (const Block* drawn = DrawnBlock(*entity)) CheckMayDraw(*drawn);
    Entity* e = Document().Adopt(std::move(entity));
    e->SetOwner(this, true);
    entities_.Append(e);
    ++contentVersion_;
    e->OnAdopted();  // may already have indexed it (a reference taking its attributes)
    if (index_) index_->Update(*e, e->Extents());
    if (!IsLayout()) Document().NoteBlockChanged(*this);
    Document().NoteChange();
    return e;
}

void Block::EntityChanged(Entity& e, const Box* grownBy)
{
    ++contentVersion_;
    if (index_ && !e.IsErased() && !(grownBy && index_->Grow(e, *grownBy))) index_->Update(e, e.Extents());
    if (!IsLayout()) Document().NoteBlockChanged(*this);
}

void Block::EntityRemeasured(Entity& e, const Box& box)
{
    ++contentVersion_;
    if (index_) index_->Update(e, box);
    if (!IsLayout()) Document().NoteBlockChanged(*this);
}

void Block::EntityErased(Entity& e)
{
    entities_.NoteErased(&e);
    ++contentVersion_;
    if (index_) index_->Remove(e);
    if (!IsLayout()) Document().NoteBlockChanged(*this);
}

std::vector<Entity*> Block::QueryBox(const Box& box) const
{
    CheckAlive();
    std::vector<Entity*> r;
    if (index_) {
        Document().FlushBlockChanges();
        index_->Query(box, [&](Entity& e) { r.push_back(&e); });
        std::sort(r.begin(), r.end(), [](const Entity* a, const Entity* b) { return a->DrawOrder() < b->DrawOrder(); });
        return r;
    }
    for (Entity* e : *this)
        if (e->Extents().Intersects(box)) r.push_back(e);
    return r;
}

Box Block::Extents() const
{
    if (index_) {
        Document().FlushBlockChanges();
        return index_->Bounds();
    }
    Box b;
    for (Entity* e : *this)
        if (const Box part = e->Extents(); part.IsFinite()) b.Add(part);  // as the index's bounds
    return b;
}

void Block::Clear()
{
    CheckAlive();
    for (Entity* e : *this) e->Delete();
}

bool Block::IsReferenced() const { return !references_.empty(); }

bool Block::Reaches(const Block& other) const
{
    // Each definition is looked into once, however many paths lead to it.
    std::vector<const Block*> stack{this};
    std::unordered_set<const Block*> seen{this};
    while (!stack.empty()) {
        const Block* b = stack.back();
        stack.pop_back();
        if (b == &other) return true;
        for (Entity* e : *b)
            if (const Block* inner = DrawnBlock(*e); inner && seen.insert(inner).second) stack.push_back(inner);
    }
    return false;
}

void Block::CheckMayDraw(const Block& drawn) const
{
    if (drawn.IsLayout())
        ThrowInvalidInput("o espaço \"" + drawn.Name() + "\" não pode ser inserido em \"" + name_ + "\"");
    // Nothing draws a space: one never comes back to itself.
    if (IsLayout() || !Document().Blocks().Checked()) return;
    if (drawn.Reaches(*this))
        ThrowInvalidInput("o bloco \"" + drawn.Name() + "\" não pode ser inserido em \"" + name_ +
                          "\" (referência circular)");
}

const Block* DrawnBlock(const Entity& e)
{
    if (const BlockReference* r = e.DrawnReference()) return e.Document().Blocks().ByIndex(r->Data().block);
    // Asked of every entity a walk of definitions meets: the kind is told apart by its type alone.
    const std::type_info& kind = typeid(e);
    if (kind == typeid(RawEntity)) return static_cast<const RawEntity&>(e).NamedBlock();
    if (kind == typeid(PViewport) && static_cast<const PViewport&>(e).Data().number != 1)
        if (const Block* owner = e.OwnerBlock(); owner && owner->IsPaperSpace()) return &e.Document().ModelSpace();
    return nullptr;
}

const Entity* LoopFinder::From(const Block& root)
{
    struct Open {
        const Block* block;
        ObjectList<Entity>::iterator next;  // the next entity to look at
    };
    if (state_[&root] != 0) return nullptr;
    state_[&root] = 1;
    std::vector<Open> path{{&root, root.begin()}};
    while (!path.empty()) {
        Open& top = path.back();
        if (top.next == top.block->end()) {
            state_[top.block] = 2;
            path.pop_back();
            continue;
        }
        const Entity* e = *top.next;
        ++top.next;
        const Block* drawn = DrawnBlock(*e);
        if (!drawn) continue;
        char& state = state_[drawn];
        if (state == 1) {
            // Left as if unwalked: once the loop is mended, another call walks it again.
            for (const Open& o : path) state_[o.block] = 0;
            return e;
        }
        if (state == 0) {
            state = 1;
            path.push_back(Open{drawn, drawn->begin()});
        }
    }
    return nullptr;
}

void Block::AddReference(BlockReference& r)
{
    r.listSlot_ = static_cast<std::uint32_t>(references_.size());
    r.listedIn_ = this;
    references_.push_back(&r);
}

void Block::RemoveReference(BlockReference& r)
{
    const std::uint32_t slot = r.listSlot_;
    if (r.listedIn_ != this || slot >= references_.size() || references_[slot] != &r) return;
    references_[slot] = references_.back();
    references_[slot]->listSlot_ = slot;
    references_.pop_back();
    r.listedIn_ = nullptr;
}

void Block::EnableSpatialIndex()
{
    if (index_) return;
    // References whose definitions changed are measured again first: measuring
    // them while the boxes are taken would re-index them into the index being
    // built, each then held twice and found after its erasure.
    Document().FlushBlockChanges();
    // Only what is the block's own and alive: an entity erased or moved to
    // another container while the block was not indexed must never be found.
    // The index is attached only once complete, so no measuring on the way
    // reaches a half-built one.
    auto index = std::make_unique<SpatialIndex>();
    index->Load(
        entities_.Raw(), entities_.Count(), [this](const Entity& e) { return !e.IsErased() && e.OwnerBlock() == this; },
        [](const Entity& e) { return e.Extents(); });
    index_ = std::move(index);
}

void Block::SuspendSpatialIndex() { index_.reset(); }

void Block::OnErase()
{
    if (IsLayout())
        throw Error(ErrorCode::NotApplicable, "O bloco \"" + name_ + "\" de um espaço não pode ser apagado");
    if (IsReferenced()) throw Error(ErrorCode::ObjectInUse, "O bloco \"" + name_ + "\" está em uso");
    for (Entity* e : *this) e->Delete();
    Document().Blocks().NoteErased(*this);
}

// ---------------------------------------------------------------- creation members

BlockReference* Block::InsertBlock(const Point3d& insertionPoint, const std::string& name, double xScale, double yScale,
                                   double zScale, double rotation)
{
    CheckAlive();
    CheckPlacement(insertionPoint, xScale, yScale, zScale, rotation);
    acad::Document& doc = Document();
    acad::Block* def = nullptr;
    if (IsFileName(name)) {
        // A drawing file defines (once) a block named after the file.
        std::string blockName = FileOfName(name).stem().string();
        def = doc.Blocks().Find(blockName);
        if (!def) {
            std::filesystem::path path = FindDrawingFile(doc, name);
            if (path.empty())
                throw Error(ErrorCode::FileNotFound, "Arquivo de desenho \"" + name + "\" não encontrado");
            def = DefineFromFile(doc, path, blockName, false);
        }
    } else {
        def = doc.Blocks().Find(name);
        if (!def || def->IsLayout()) ThrowKeyNotFound("Bloco \"" + name + "\"");
    }
    CheckMayDraw(*def);
    const BlockReferenceData d = Placement(doc, *def, insertionPoint, xScale, yScale, zScale, rotation);
    std::unique_ptr<BlockReference> ref =
        def->IsXRef() ? std::make_unique<ExternalReference>(doc, d) : std::make_unique<BlockReference>(doc, d);
    BlockReference* r = Append(std::move(ref));
    r->CreateAttributesFromDefinition();
    return r;
}

Line* Block::AddLine(const Point3d& startPoint, const Point3d& endPoint)
{
    CheckAlive();
    detail::CheckFinite(startPoint, "ponto inicial da linha");
    detail::CheckFinite(endPoint, "ponto final da linha");
    return Append(std::make_unique<Line>(Document(), LineData{startPoint, endPoint, 0.0}));
}

Point* Block::AddPoint(const Point3d& point)
{
    CheckAlive();
    detail::CheckFinite(point, "coordenadas do ponto");
    return Append(std::make_unique<Point>(Document(), PointData{point, 0.0}));
}

Circle* Block::AddCircle(const Point3d& center, double radius)
{
    CheckAlive();
    detail::CheckFinite(center, "centro do círculo");
    if (!(radius > 0) || !std::isfinite(radius)) ThrowInvalidInput("raio do círculo (deve ser maior que zero)");
    return Append(std::make_unique<Circle>(Document(), CircleData{center, radius, 0.0, {}}));
}

Arc* Block::AddArc(const Point3d& center, double radius, double startAngle, double endAngle)
{
    CheckAlive();
    detail::CheckFinite(center, "centro do arco");
    if (!(radius > 0) || !std::isfinite(radius)) ThrowInvalidInput("raio do arco (deve ser maior que zero)");
    if (!std::isfinite(startAngle) || !std::isfinite(endAngle)) ThrowInvalidInput("ângulos do arco");
    ArcData d{center, radius, NormalizeAngle(startAngle), NormalizeAngle(endAngle), 0.0, {}};
    return Append(std::make_unique<Arc>(Document(), d));
}

Ellipse* Block::AddEllipse(const Point3d& center, const Vector3d& majorAxis, double radiusRatio)
{
    CheckAlive();
    detail::CheckFinite(center, "centro da elipse");
    detail::CheckFinite(majorAxis, "eixo maior da elipse");
    if (!(majorAxis.Length() > 0)) ThrowInvalidInput("eixo maior da elipse nulo");
    if (!(radiusRatio > 0 && radiusRatio <= 1.0)) ThrowInvalidInput("razão dos raios da elipse (entre 0 e 1)");
    EllipseData d;
    d.center = center;
    d.majorAxis = majorAxis;
    d.radiusRatio = radiusRatio;
    return Append(std::make_unique<Ellipse>(Document(), d));
}

namespace {
TextData NewText(const acad::Document& doc, const std::string& s, const Point3d& p, double height)
{
    TextData d;
    d.text = s;
    d.insertionPoint = p;
    d.alignmentPoint = p;
    d.height = height;
    d.style = doc.CurrentTextStyleIndex();
    if (const TextStyle* st = doc.TextStyles().ByIndex(d.style)) d.widthFactor = st->Width();
    return d;
}
}  // namespace

Text* Block::AddText(const std::string& textString, const Point3d& insertionPoint, double height)
{
    CheckAlive();
    detail::CheckFinite(insertionPoint, "ponto de inserção do texto");
    if (!(height > 0) || !std::isfinite(height)) ThrowInvalidInput("altura do texto (deve ser maior que zero)");
    return Append(std::make_unique<Text>(Document(), NewText(Document(), textString, insertionPoint, height)));
}

MText* Block::AddMText(const Point3d& insertionPoint, double width, const std::string& text)
{
    CheckAlive();
    detail::CheckFinite(insertionPoint, "ponto de inserção do texto");
    if (!(width >= 0) || !std::isfinite(width)) ThrowInvalidInput("largura do texto");
    MTextData d;
    d.text = text;
    d.insertionPoint = insertionPoint;
    d.width = width;
    d.style = Document().CurrentTextStyleIndex();
    d.height = Document().Variables().Get("TEXTSIZE").AsDouble();
    return Append(std::make_unique<MText>(Document(), d));
}

AttributeDefinition* Block::AddAttribute(double height, int mode, const std::string& prompt,
                                         const Point3d& insertionPoint, const std::string& tag,
                                         const std::string& value)
{
    CheckAlive();
    detail::CheckFinite(insertionPoint, "ponto de inserção do atributo");
    if (!(height > 0) || !std::isfinite(height)) ThrowInvalidInput("altura do atributo (deve ser maior que zero)");
    if (mode < 0 || mode > 15) ThrowInvalidInput("modo do atributo " + std::to_string(mode));
    if (tag.empty() || tag.find(' ') != std::string::npos)
        ThrowInvalidInput("identificador de atributo \"" + tag + "\" (não pode ser vazio nem ter espaços)");
    AttributeData a;
    a.tag = tag;
    a.prompt = prompt;
    a.mode = mode;
    return Append(
        std::make_unique<AttributeDefinition>(Document(), NewText(Document(), value, insertionPoint, height), a));
}

LWPolyline* Block::AddLightWeightPolyline(const std::vector<double>& verticesList)
{
    CheckAlive();
    CheckList(verticesList, 2, 2, "coordenadas da polilinha (pares x,y, pelo menos dois vértices)");
    LWPolylineData d;
    for (std::size_t i = 0; i < verticesList.size(); i += 2)
        d.geometry.vertices.push_back({{verticesList[i], verticesList[i + 1], 0.0}, 0.0});
    return Append(std::make_unique<LWPolyline>(Document(), d));
}

Polyline2D* Block::AddPolyline(const std::vector<double>& verticesList)
{
    CheckAlive();
    CheckList(verticesList, 3, 2, "coordenadas da polilinha (triplas x,y,z, pelo menos dois vértices)");
    PolylineData d;
    d.elevation = verticesList[2];
    for (std::size_t i = 0; i < verticesList.size(); i += 3) {
        PolylineVertex v;
        v.point = {verticesList[i], verticesList[i + 1], d.elevation};
        d.vertices.push_back(v);
    }
    return Append(std::make_unique<Polyline2D>(Document(), d));
}

Polyline3D* Block::Add3DPoly(const std::vector<double>& pointsArray)
{
    CheckAlive();
    CheckList(pointsArray, 3, 2, "coordenadas da polilinha 3D (triplas x,y,z, pelo menos dois vértices)");
    PolylineData d;
    for (std::size_t i = 0; i < pointsArray.size(); i += 3) {
        PolylineVertex v;
        v.point = {pointsArray[i], pointsArray[i + 1], pointsArray[i + 2]};
        d.vertices.push_back(v);
    }
    return Append(std::make_unique<Polyline3D>(Document(), d));
}

Spline* Block::AddSpline(const std::vector<double>& pointsArray, const Vector3d& startTangent,
                         const Vector3d& endTangent)
{
    CheckAlive();
    CheckList(pointsArray, 3, 2, "pontos de ajuste da spline (triplas x,y,z, pelo menos dois pontos)");
    detail::CheckFinite(startTangent, "tangente inicial da spline");
    detail::CheckFinite(endTangent, "tangente final da spline");
    std::vector<Point3d> pts;
    for (std::size_t i = 0; i < pointsArray.size(); i += 3)
        pts.push_back({pointsArray[i], pointsArray[i + 1], pointsArray[i + 2]});
    return Append(std::make_unique<Spline>(Document(), Spline::Interpolate(pts, startTangent, endTangent)));
}

Hatch* Block::AddHatch(int patternType, const std::string& patternName, bool associativity)
{
    CheckAlive();
    if (patternType < 0 || patternType > 2)
        ThrowInvalidInput("tipo de padrão de hachura " + std::to_string(patternType));
    if (patternName.empty()) ThrowInvalidInput("nome do padrão de hachura vazio");
    HatchData d;
    d.patternType = patternType;
    d.patternName = patternName;
    d.solid = NamesEqual(patternName, "SOLID");
    d.associative = associativity;
    return Append(std::make_unique<Hatch>(Document(), d));
}

Face3D* Block::Add3DFace(const Point3d& point1, const Point3d& point2, const Point3d& point3, const Point3d& point4)
{
    CheckAlive();
    for (const auto* p : {&point1, &point2, &point3, &point4}) detail::CheckFinite(*p, "vértice da face");
    Face3DData d;
    d.corners[0] = point1;
    d.corners[1] = point2;
    d.corners[2] = point3;
    d.corners[3] = point4;
    return Append(std::make_unique<Face3D>(Document(), d));
}

DimAligned* Block::AddDimAligned(const Point3d& extLine1Point, const Point3d& extLine2Point,
                                 const Point3d& textPosition)
{
    CheckAlive();
    detail::CheckFinite(extLine1Point, "ponto da linha de extensão");
    detail::CheckFinite(extLine2Point, "ponto da linha de extensão");
    detail::CheckFinite(textPosition, "posição do texto da cota");
    DimAlignedData d;
    d.extLine1Point = extLine1Point;
    d.extLine2Point = extLine2Point;
    d.textPosition = textPosition;
    d.dimLinePoint = textPosition;
    d.style = Document().CurrentTextStyleIndex();
    const SystemVariables& v = Document().Variables();
    d.textHeight = v.Get("DIMTXT").AsDouble() * v.Get("DIMSCALE").AsDouble();
    d.arrowSize = v.Get("DIMASZ").AsDouble() * v.Get("DIMSCALE").AsDouble();
    d.decimals = v.Get("DIMDEC").AsInt();
    return Append(std::make_unique<DimAligned>(Document(), d));
}

ExternalReference* Block::AttachExternalReference(const std::string& pathName, const std::string& name,
                                                  const Point3d& insertionPoint, double xScale, double yScale,
                                                  double zScale, double rotation, bool overlay)
{
    (void)overlay;  // attached and overlaid references read the same here
    CheckAlive();
    CheckPlacement(insertionPoint, xScale, yScale, zScale, rotation);
    acad::Document& doc = Document();
    if (!IsValidSymbolName(name)) ThrowInvalidInput("nome de referência externa \"" + name + "\"");
    std::filesystem::path path = FindDrawingFile(doc, pathName);
    if (path.empty())
        throw Error(ErrorCode::FileNotFound, "Arquivo da referência externa \"" + pathName + "\" não encontrado");
    acad::Block* def = doc.Blocks().Find(name);
    if (def && !def->IsXRef()) throw Error(ErrorCode::DuplicateKey, "Já existe um bloco chamado \"" + name + "\"");
    if (!def) def = DefineFromFile(doc, path, name, true);
    return Append(std::make_unique<ExternalReference>(
        doc, Placement(doc, *def, insertionPoint, xScale, yScale, zScale, rotation)));
}

PViewport* Block::AddPViewport(const Point3d& center, double width, double height)
{
    CheckAlive();
    if (!IsPaperSpace()) throw Error(ErrorCode::NotApplicable, "Janelas de visualização só existem no espaço do papel");
    detail::CheckFinite(center, "centro da janela de visualização");
    if (!(width > 0) || !(height > 0) || !std::isfinite(width) || !std::isfinite(height))
        ThrowInvalidInput("tamanho da janela de visualização");
    ViewportData d;
    d.center = center;
    d.width = width;
    d.height = height;
    d.number = static_cast<int>(Document().Viewports(*layout_).size()) + 2;
    Box ext = Document().ModelExtents();
    View v(Document().ModelView().Center(), Document().ModelView().Height(), width / height);
    if (!ext.IsEmpty()) v.Fit(ext);
    d.viewCenter = v.Center();
    d.viewHeight = v.Height();
    return Append(std::make_unique<PViewport>(Document(), d));
}

// ---------------------------------------------------------------- Blocks

Block* Blocks::Item(int index) const
{
    Block* b = index >= 0 ? list_.At(static_cast<std::size_t>(index)) : nullptr;
    if (!b) ThrowKeyNotFound("Bloco de índice " + std::to_string(index));
    return b;
}

Block* Blocks::Item(const std::string& name) const
{
    Block* b = Find(name);
    if (!b) ThrowKeyNotFound("Bloco \"" + name + "\"");
    return b;
}

Block* Blocks::Find(const std::string& name) const
{
    auto it = byName_.find(UpperName(name));
    if (it == byName_.end() || it->second->IsErased()) return nullptr;
    return it->second;
}

Block* Blocks::Add(const Point3d& insertionPoint, const std::string& name)
{
    detail::CheckFinite(insertionPoint, "ponto base do bloco");
    std::string actual = name;
    if (NamesEqual(name, "*U") || NamesEqual(name, "*D") || NamesEqual(name, "*X") || NamesEqual(name, "*T")) {
        // Anonymous block: the next free number.
        do {
            actual = UpperName(name) + std::to_string(++anonymousCounter_);
        } while (Find(actual));
    } else if (Block* existing = Find(name)) {
        return existing;  // never redefined: the existing definition stays as it is
    }
    if (!IsValidBlockName(actual)) ThrowInvalidInput("nome de bloco \"" + name + "\"");
    return Define(insertionPoint, actual);
}

Block* Blocks::AddAsWritten(const std::string& name)
{
    if (Block* existing = Find(name)) return existing;
    if (name.empty()) ThrowInvalidInput("nome de bloco vazio");
    return Define({0, 0, 0}, name);
}

Block* Blocks::Define(const Point3d& insertionPoint, const std::string& actual)
{
    Block* b = doc_.Adopt(std::make_unique<Block>(doc_, actual, insertionPoint));
    b->recordIndex_ = static_cast<std::uint32_t>(records_.size());
    records_.push_back(b);
    list_.Append(b);
    byName_[UpperName(actual)] = b;
    doc_.NoteChange();
    return b;
}

std::uint32_t Blocks::IndexOf(const Block& b) const { return b.recordIndex_; }

Block* Blocks::ByIndex(std::uint32_t index) const { return index < records_.size() ? records_[index] : nullptr; }

void Blocks::Renamed(Block& b, const std::string& oldName)
{
    auto it = byName_.find(UpperName(oldName));
    if (it != byName_.end() && it->second == &b) byName_.erase(it);
    byName_[UpperName(b.Name())] = &b;
}

}  // namespace acad
