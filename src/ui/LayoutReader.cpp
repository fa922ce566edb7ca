#include "ui/LayoutReader.h"

#include <typeinfo>
#include <vector>

#include "ui/Collection.h"
#include "ui/Form.h"
#include "ui/StoredPicture.h"

namespace ui {

namespace {

struct ClassEntry {
  std::wstring base;
  TComponentFactory create;
  std::map<std::wstring, TPropertyWriter> properties;
};

std::map<std::wstring, ClassEntry>& Classes() {
  static std::map<std::wstring, ClassEntry> classes;
  return classes;
}

std::map<std::wstring, std::map<std::wstring, TItemPropertyWriter>>& ItemClasses() {
  static std::map<std::wstring, std::map<std::wstring, TItemPropertyWriter>> items;
  return items;
}

std::string Narrow(std::wstring_view text) {
  std::string out;
  for (wchar_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

std::string At(int line) {
  return " (layout line " + std::to_string(line) + ")";
}

const TPropertyWriter* FindWriter(std::wstring className, const std::wstring& property) {
  // The chain of bases ends at a class with no base; it is short, but a
  // registration mistake must not loop for ever.
  for (int depth = 0; depth < 32 && !className.empty(); ++depth) {
    auto it = Classes().find(className);
    if (it == Classes().end()) return nullptr;
    if (auto p = it->second.properties.find(property); p != it->second.properties.end()) {
      return &p->second;
    }
    className = it->second.base;
  }
  return nullptr;
}

// Runs a writer, turning any failure into an error that says where.
template <typename Write>
void Apply(const std::string& where, const TLayoutProperty& property, Write&& write) {
  try {
    write();
  } catch (const std::exception& e) {
    throw ELayoutError("Bad value for " + Narrow(property.name) + " of " + where + ": " + e.what() +
                       At(property.line));
  }
}

// What a named picture's assignment needs when it runs again for another
// resolution: the form, and no handlers.
TLayoutContext PictureContext(TForm& form) {
  static const THandlerTable none;
  return TLayoutContext{form, none, nullptr};
}

class Reader {
 public:
  Reader(TForm& form, const THandlerTable& handlers) : context_{form, handlers, &deferred_} {}

  void Read(const TLayoutObject& root) {
    TForm& form = context_.form;
    if (root.className != form.ClassName()) {
      throw ELayoutError("Layout is for class " + Narrow(root.className) + ", not " +
                         Narrow(form.ClassName()) + At(root.line));
    }
    form.BeginLoading();
    form.SetName(root.name);
    SetProperties(form, L"TForm", root);
    for (const TLayoutObject& child : root.children) CreateChild(child, &form);
    for (const auto& work : deferred_) work();
    for (TComponent* c : created_) c->EndLoading();
    form.EndLoading();
  }

 private:
  void SetProperties(TComponent& target, const std::wstring& className,
                     const TLayoutObject& object) {
    const std::string where = Narrow(object.className) + " " + Narrow(object.name);
    for (const TLayoutProperty& property : object.properties) {
      const TPropertyWriter* writer = FindWriter(className, property.name);
      if (writer == nullptr) {
        throw ELayoutError("Unknown property " + Narrow(property.name) + " of " + where +
                           At(property.line));
      }
      Apply(where, property, [&] { (*writer)(target, property.value, context_); });
      if (property.value.kind == TLayoutValue::PictureName) {
        TForm& form = context_.form;
        form.BindPicture(target, [&form, &target, write = *writer, value = property.value] {
          write(target, value, PictureContext(form));
        });
      }
    }
  }

  void CreateChild(const TLayoutObject& object, TWinControl* container) {
    auto entry = Classes().find(object.className);
    if (entry == Classes().end() || !entry->second.create) {
      throw ELayoutError("Unknown class " + Narrow(object.className) + At(object.line));
    }
    TComponent& component = context_.form.InsertComponent(entry->second.create(&context_.form));
    created_.push_back(&component);
    component.BeginLoading();
    component.SetName(object.name);
    if (auto* control = dynamic_cast<TControl*>(&component); control && container) {
      control->SetParent(container);
    }
    SetProperties(component, object.className, object);
    auto* inner = dynamic_cast<TWinControl*>(&component);
    for (const TLayoutObject& child : object.children) {
      CreateChild(child, inner != nullptr ? inner : container);
    }
  }

  std::vector<std::function<void()>> deferred_;
  TLayoutContext context_;
  std::vector<TComponent*> created_;
};

const TLayoutValue& Expect(const TLayoutValue& value, TLayoutValue::Kind kind, const char* what) {
  if (value.kind != kind) throw ELayoutError(std::string("expected ") + what);
  return value;
}

}  // namespace

void RegisterLayoutClass(const std::wstring& name, const std::wstring& base,
                         TComponentFactory create) {
  auto [it, added] = Classes().try_emplace(name);
  if (added) it->second.base = base;
  it->second.create = std::move(create);
}

void RegisterLayoutProperty(const std::wstring& className, const std::wstring& property,
                            TPropertyWriter writer) {
  Classes()[className].properties[property] = std::move(writer);
}

void RegisterItemProperty(const std::wstring& itemClassName, const std::wstring& property,
                          TItemPropertyWriter writer) {
  ItemClasses()[itemClassName][property] = std::move(writer);
}

void ReadLayout(TForm& form, std::string_view layout, const THandlerTable& handlers) {
  Reader(form, handlers).Read(ParseLayout(layout));
}

int LayoutInt(const TLayoutValue& value) {
  Expect(value, TLayoutValue::Integer, "a number");
  if (value.integer < INT32_MIN || value.integer > INT32_MAX) {
    throw ELayoutError("number out of range");
  }
  return static_cast<int>(value.integer);
}

bool LayoutBool(const TLayoutValue& value) {
  Expect(value, TLayoutValue::Identifier, "true or false");
  if (value.text == L"true") return true;
  if (value.text == L"false") return false;
  throw ELayoutError("expected true or false");
}

std::wstring LayoutString(const TLayoutValue& value) {
  return Expect(value, TLayoutValue::String, "a string").text;
}

TColor LayoutColor(const TLayoutValue& value) {
  if (value.kind == TLayoutValue::Integer) return static_cast<TColor>(value.integer);
  static const TEnumNames names = {
      {L"clBlack", static_cast<int>(clBlack)},
      {L"clWhite", static_cast<int>(clWhite)},
      {L"clFuchsia", static_cast<int>(clFuchsia)},
      {L"clBtnFace", static_cast<int>(clBtnFace)},
      {L"clWindow", static_cast<int>(clWindow)},
      {L"clWindowText", static_cast<int>(clWindowText)},
      {L"cl3DDkShadow", static_cast<int>(cl3DDkShadow)},
      {L"clNone", static_cast<int>(clNone)},
  };
  return static_cast<TColor>(LayoutEnum(value, names));
}

TCursor LayoutCursor(const TLayoutValue& value) {
  if (value.kind == TLayoutValue::Integer) return static_cast<TCursor>(LayoutInt(value));
  static const TEnumNames names = {
      {L"crDefault", crDefault}, {L"crNone", crNone},
      {L"crArrow", crArrow},     {L"crCross", crCross},
      {L"crIBeam", crIBeam},     {L"crSizeNESW", crSizeNESW},
      {L"crSizeNS", crSizeNS},   {L"crSizeNWSE", crSizeNWSE},
      {L"crSizeWE", crSizeWE},   {L"crHourGlass", crHourGlass},
      {L"crNo", crNo},           {L"crHandPoint", crHandPoint},
      {L"crSizeAll", crSizeAll},
  };
  return static_cast<TCursor>(LayoutEnum(value, names));
}

TPicture LayoutPicture(const TLayoutValue& value) {
  return ReadStoredPicture(Expect(value, TLayoutValue::Data, "picture data").data);
}

TPicture LayoutPicture(const TLayoutValue& value, const TLayoutContext& context) {
  if (value.kind == TLayoutValue::PictureName) return context.form.NamedPicture(value.text);
  return LayoutPicture(value);
}

TFont LayoutFont(const TLayoutValue& value, TFont font) {
  static const TEnumNames styles = {{L"fsBold", fsBold},
                                    {L"fsItalic", fsItalic},
                                    {L"fsUnderline", fsUnderline},
                                    {L"fsStrikeOut", fsStrikeOut}};
  for (const TLayoutProperty& p : Expect(value, TLayoutValue::Group, "a font group").properties) {
    if (p.name == L"Name") {
      font.Name = LayoutString(p.value);
    } else if (p.name == L"Height") {
      font.Height = LayoutInt(p.value);
    } else if (p.name == L"Color") {
      font.Color = LayoutColor(p.value);
    } else if (p.name == L"Charset") {
      font.Charset = static_cast<std::uint8_t>(LayoutInt(p.value));
    } else if (p.name == L"Style") {
      font.Style = 0;
      for (const TLayoutValue& s : Expect(p.value, TLayoutValue::Set, "a style set").elements) {
        font.Style |= static_cast<TFontStyles>(LayoutEnum(s, styles));
      }
    } else {
      throw ELayoutError("unknown font property " + Narrow(p.name));
    }
  }
  return font;
}

int LayoutEnum(const TLayoutValue& value, const TEnumNames& names) {
  Expect(value, TLayoutValue::Identifier, "a name");
  for (const auto& [name, v] : names) {
    if (name == value.text) return v;
  }
  throw ELayoutError("unknown name " + Narrow(value.text));
}

void LayoutComponentReference(const TLayoutValue& value, const TLayoutContext& context,
                              std::function<void(TComponent*)> assign) {
  const std::wstring name = Expect(value, TLayoutValue::Identifier, "a component name").text;
  if (name == L"nil") {
    assign(nullptr);
    return;
  }
  auto resolve = [name, line = value.line, &form = context.form, assign = std::move(assign)] {
    TComponent* component = form.FindComponent(name);
    if (component == nullptr) {
      throw ELayoutError("No component named " + Narrow(name) + At(line));
    }
    try {
      assign(component);
    } catch (const std::bad_cast&) {
      throw ELayoutError("Component " + Narrow(name) + " is of the wrong kind" + At(line));
    }
  };
  if (context.deferred != nullptr) {
    context.deferred->push_back(std::move(resolve));
  } else {
    resolve();
  }
}

const TEnumNames& TLayoutEnum<TAlign>::Names() {
  static const TEnumNames names = {
      {L"alNone", alNone},   {L"alTop", alTop},       {L"alBottom", alBottom}, {L"alLeft", alLeft},
      {L"alRight", alRight}, {L"alClient", alClient}, {L"alCustom", alCustom}};
  return names;
}

const TEnumNames& TLayoutEnum<TAlignment>::Names() {
  static const TEnumNames names = {{L"taLeftJustify", taLeftJustify},
                                   {L"taRightJustify", taRightJustify},
                                   {L"taCenter", taCenter}};
  return names;
}

namespace {
// Null when the item class or its property is unknown; looking up never adds
// an entry for a class that nobody registered.
const TItemPropertyWriter* FindItemWriter(const std::wstring& itemClass,
                                          const std::wstring& property) {
  const auto writers = ItemClasses().find(itemClass);
  if (writers == ItemClasses().end()) return nullptr;
  const auto writer = writers->second.find(property);
  return writer == writers->second.end() ? nullptr : &writer->second;
}
}  // namespace

void ReadCollection(TCollection& collection, const TLayoutValue& value,
                    const TLayoutContext& context) {
  collection.Clear();
  for (const auto& group : Expect(value, TLayoutValue::Collection, "a collection").items) {
    TCollectionItem& item = collection.AddItem();
    const std::wstring itemClass(item.ClassName());
    for (const TLayoutProperty& property : group) {
      const TItemPropertyWriter* writer = FindItemWriter(itemClass, property.name);
      if (writer == nullptr) {
        throw ELayoutError("unknown property " + Narrow(property.name) + " of " +
                           Narrow(itemClass) + At(property.line));
      }
      (*writer)(item, property.value, context);
      if (property.value.kind == TLayoutValue::PictureName && collection.Owner() != nullptr) {
        // By place, not by reference: the items may have been replaced since.
        const int index = item.Index();
        TForm& form = context.form;
        form.BindPicture(*collection.Owner(), [&form, &collection, index, itemClass,
                                               write = *writer, value = property.value] {
          if (index >= collection.Count()) return;
          TCollectionItem& target = collection.Item(index);
          if (target.ClassName() == itemClass) write(target, value, PictureContext(form));
        });
      }
    }
  }
}

namespace {
template <typename Handler, typename Find>
Handler Bind(const TLayoutValue& value, Find find) {
  const std::wstring& name = Expect(value, TLayoutValue::Identifier, "a handler name").text;
  const Handler* handler = find(name);
  if (handler == nullptr) throw ELayoutError("unknown event handler " + Narrow(name));
  return *handler;
}
}  // namespace

TNotifyEvent LayoutNotifyHandler(const TLayoutValue& value, const TLayoutContext& context) {
  return Bind<TNotifyEvent>(value,
                            [&](const std::wstring& n) { return context.handlers.FindNotify(n); });
}

TMouseEvent LayoutMouseHandler(const TLayoutValue& value, const TLayoutContext& context) {
  return Bind<TMouseEvent>(value,
                           [&](const std::wstring& n) { return context.handlers.FindMouse(n); });
}

TMouseMoveEvent LayoutMouseMoveHandler(const TLayoutValue& value, const TLayoutContext& context) {
  return Bind<TMouseMoveEvent>(
      value, [&](const std::wstring& n) { return context.handlers.FindMouseMove(n); });
}

}  // namespace ui
