// Reading a window layout (see LayoutText.h) into a form: components are
// created by class name and owned by the form, placed on the container they
// are written in, their properties set by name (a property the layout does
// not mention keeps its default), collections filled, pictures read from
// their stored form, and events bound to the form's handlers by name. Any
// unknown class, property or handler is an error that names it.
//
// The classes and properties a layout may use are registered by the module
// that defines them (RegisterStandardLayoutClasses for this framework's).
#pragma once

#include <concepts>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "ui/Control.h"
#include "ui/Font.h"
#include "ui/LayoutText.h"
#include "ui/Picture.h"

namespace ui {

class TCollection;
class TCollectionItem;
class TForm;

// The handlers a form offers its layout, by name.
class THandlerTable {
 public:
  void Add(const std::wstring& name, TNotifyEvent handler) { notify_[name] = std::move(handler); }
  void Add(const std::wstring& name, TMouseEvent handler) { mouse_[name] = std::move(handler); }
  void Add(const std::wstring& name, TMouseMoveEvent handler) { move_[name] = std::move(handler); }

  const TNotifyEvent* FindNotify(const std::wstring& name) const { return Find(notify_, name); }
  const TMouseEvent* FindMouse(const std::wstring& name) const { return Find(mouse_, name); }
  const TMouseMoveEvent* FindMouseMove(const std::wstring& name) const { return Find(move_, name); }

 private:
  template <typename Map>
  static const typename Map::mapped_type* Find(const Map& map, const std::wstring& name) {
    auto it = map.find(name);
    return it == map.end() ? nullptr : &it->second;
  }
  std::map<std::wstring, TNotifyEvent> notify_;
  std::map<std::wstring, TMouseEvent> mouse_;
  std::map<std::wstring, TMouseMoveEvent> move_;
};

struct TLayoutContext {
  TForm& form;
  const THandlerTable& handlers;
  // Work that waits until every component of the layout exists, such as a
  // reference to a component written further down; it runs before any
  // component's Loaded().
  std::vector<std::function<void()>>* deferred = nullptr;
};

using TComponentFactory = std::function<std::unique_ptr<TComponent>(TComponent* owner)>;
using TPropertyWriter =
    std::function<void(TComponent&, const TLayoutValue&, const TLayoutContext&)>;
using TItemPropertyWriter =
    std::function<void(TCollectionItem&, const TLayoutValue&, const TLayoutContext&)>;

// A class the layout may name, with the class whose properties it inherits.
// Registering a name again replaces only how it is created: a module may put
// its own class in the place of a standard one.
void RegisterLayoutClass(const std::wstring& name, const std::wstring& base,
                         TComponentFactory create);
void RegisterLayoutProperty(const std::wstring& className, const std::wstring& property,
                            TPropertyWriter writer);
void RegisterItemProperty(const std::wstring& itemClassName, const std::wstring& property,
                          TItemPropertyWriter writer);

// The framework's own classes (forms, labels, pictures, the standard kinds).
void RegisterStandardLayoutClasses();

// Reads the layout into `form`, whose class name must be the layout's root
// class. Throws ELayoutError.
void ReadLayout(TForm& form, std::string_view layout, const THandlerTable& handlers);

// Converters for property writers; each throws ELayoutError on a value of
// the wrong kind.
int LayoutInt(const TLayoutValue& value);
bool LayoutBool(const TLayoutValue& value);
std::wstring LayoutString(const TLayoutValue& value);
TColor LayoutColor(const TLayoutValue& value);
TCursor LayoutCursor(const TLayoutValue& value);
TPicture LayoutPicture(const TLayoutValue& value);
// Stored picture data, or a picture the form's picture source gives by name
// (`picture "name"`); the form then keeps the assignment for other
// resolutions (TForm::BindPicture).
TPicture LayoutPicture(const TLayoutValue& value, const TLayoutContext& context);
// The group's sub-properties applied over `font`: a layout names only
// those that differ from the font the property starts with.
TFont LayoutFont(const TLayoutValue& value, TFont font);
using TEnumNames = std::vector<std::pair<std::wstring, int>>;
int LayoutEnum(const TLayoutValue& value, const TEnumNames& names);

// The names a layout writes for the values of enumeration E. A module that
// publishes a property of a new enumeration specialises it next to the
// enumeration's registration, and every setter of that type then reads by
// name: `static const TEnumNames& Names();`.
template <typename E>
struct TLayoutEnum;

template <typename E>
concept LayoutEnumeration = std::is_enum_v<E> && requires {
  { TLayoutEnum<E>::Names() } -> std::same_as<const TEnumNames&>;
};

template <>
struct TLayoutEnum<TAlign> {
  static const TEnumNames& Names();
};
template <>
struct TLayoutEnum<TAlignment> {
  static const TEnumNames& Names();
};
// Adds one item per group of the collection value and sets its properties.
void ReadCollection(TCollection& collection, const TLayoutValue& value,
                    const TLayoutContext& context);
TNotifyEvent LayoutNotifyHandler(const TLayoutValue& value, const TLayoutContext& context);
TMouseEvent LayoutMouseHandler(const TLayoutValue& value, const TLayoutContext& context);
TMouseMoveEvent LayoutMouseMoveHandler(const TLayoutValue& value, const TLayoutContext& context);
// A reference to another component of the form, by name ("nil" for none):
// `assign` receives it once every component of the layout exists.
void LayoutComponentReference(const TLayoutValue& value, const TLayoutContext& context,
                              std::function<void(TComponent*)> assign);

// The value converted to the type a setter takes. `current` is the
// property's value before the layout sets it: a font group changes only the
// sub-properties it names.
template <typename V>
std::remove_cvref_t<V> LayoutConvert(const TLayoutValue& value, const TLayoutContext& context,
                                     const std::remove_cvref_t<V>& current = {}) {
  using Plain = std::remove_cvref_t<V>;
  if constexpr (std::is_same_v<Plain, bool>) {
    return LayoutBool(value);
  } else if constexpr (std::is_same_v<Plain, int>) {
    return LayoutInt(value);
  } else if constexpr (std::is_same_v<Plain, TColor>) {
    return LayoutColor(value);
  } else if constexpr (std::is_same_v<Plain, TCursor>) {
    return LayoutCursor(value);
  } else if constexpr (std::is_same_v<Plain, TFont>) {
    return LayoutFont(value, current);
  } else if constexpr (LayoutEnumeration<Plain>) {
    return static_cast<Plain>(LayoutEnum(value, TLayoutEnum<Plain>::Names()));
  } else if constexpr (std::is_same_v<Plain, std::wstring>) {
    return LayoutString(value);
  } else if constexpr (std::is_same_v<Plain, TPicture>) {
    return LayoutPicture(value, context);
  } else {
    static_assert(sizeof(Plain) == 0,
                  "no layout conversion for this type (an enumeration needs TLayoutEnum)");
  }
}

// A writer that converts the value for a setter of class T. A font group is
// applied over the default font, which is what such a property starts with.
template <typename T, typename V>
TPropertyWriter Setter(void (T::*set)(V)) {
  return [set](TComponent& target, const TLayoutValue& value, const TLayoutContext& context) {
    (dynamic_cast<T&>(target).*set)(LayoutConvert<V>(value, context));
  };
}

// The same for a property whose starting value is not the type's default
// (a font that follows the parent's): the value is converted over what
// `get` answers.
template <typename T, typename Get, typename V>
requires std::invocable<Get, T&> TPropertyWriter Setter(Get get, void (T::*set)(V)) {
  return [get, set](TComponent& target, const TLayoutValue& value, const TLayoutContext& context) {
    T& object = dynamic_cast<T&>(target);
    (object.*set)(LayoutConvert<V>(value, context, std::invoke(get, object)));
  };
}

// The same for a setter of a collection item class T.
template <typename T, typename V>
TItemPropertyWriter ItemSetter(void (T::*set)(V)) {
  return [set](TCollectionItem& target, const TLayoutValue& value, const TLayoutContext& context) {
    (dynamic_cast<T&>(target).*set)(LayoutConvert<V>(value, context));
  };
}

// A writer for a setter of class T that takes a component of type C.
template <typename T, typename C>
TPropertyWriter ReferenceSetter(void (T::*set)(C*)) {
  return [set](TComponent& target, const TLayoutValue& value, const TLayoutContext& context) {
    auto& t = dynamic_cast<T&>(target);
    LayoutComponentReference(value, context, [set, &t](TComponent* component) {
      C* typed = component != nullptr ? &dynamic_cast<C&>(*component) : nullptr;
      (t.*set)(typed);
    });
  };
}

// Writers that bind an event field of class T to a handler of the form.
template <typename T>
TPropertyWriter EventBinder(TNotifyEvent T::*field) {
  return [field](TComponent& target, const TLayoutValue& value, const TLayoutContext& context) {
    dynamic_cast<T&>(target).*field = LayoutNotifyHandler(value, context);
  };
}
template <typename T>
TPropertyWriter EventBinder(TMouseEvent T::*field) {
  return [field](TComponent& target, const TLayoutValue& value, const TLayoutContext& context) {
    dynamic_cast<T&>(target).*field = LayoutMouseHandler(value, context);
  };
}
template <typename T>
TPropertyWriter EventBinder(TMouseMoveEvent T::*field) {
  return [field](TComponent& target, const TLayoutValue& value, const TLayoutContext& context) {
    dynamic_cast<T&>(target).*field = LayoutMouseMoveHandler(value, context);
  };
}

// Creates a T owned by `owner`, for RegisterLayoutClass.
template <typename T>
TComponentFactory Factory() {
  return
      [](TComponent* owner) -> std::unique_ptr<TComponent> { return std::make_unique<T>(owner); };
}

}  // namespace ui
