// ListBox's command table, selection, input hooks, drawing and file record.
#include "objects/ui/widgets/ListBox.h"

#include <algorithm>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandAccessors.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "objects/ui/widgets/Button.h"
#include "objects/ui/widgets/WidgetSupport.h"
#include "services/EngineServices.h"
#include "services/resources/Resource.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr auto E = CommandKind::kEvent;

constexpr std::uint32_t kFirstVersionWithItemValues = 8;
constexpr std::uint32_t kFirstVersionWithArrows = 48;
// The least an item takes in a file: two string lengths and the flags.
constexpr std::uint64_t kItemBytes = 3 * 4;

}  // namespace

// clang-format off
using L = ListBox;
using I = ListBoxItem;
constexpr CommandEntry<ListBox> ListBox::kCommands[] = {
    {11750, "ListBoxNextMaterial", P, 0, {kValueString}, Member<&L::SetArrowCommand<&L::nextMaterialName_, &L::nextMaterial_>>, FieldGetter<&L::nextMaterialName_>},
    {11752, "ListBoxPrevMaterial", P, 0, {kValueString}, Member<&L::SetArrowCommand<&L::prevMaterialName_, &L::prevMaterial_>>, FieldGetter<&L::prevMaterialName_>},
    {11754, "ListBoxNavigationDimension", P, 0, {kValueVector3}, FieldSetter<&L::navigationDimension_>, FieldGetter<&L::navigationDimension_>},
    {11756, "ListBoxVertical", P, 0, {kValueBool}, FlagSetter<&L::listBoxFlags_, kVertical>, FlagGetter<&L::listBoxFlags_, kVertical>},
    {11758, "UseStandardListBoxFocusHilite", P, 0, {kValueBool}, FlagSetter<&L::windowFlags_, kWindowFocusHilite>, FlagGetter<&L::windowFlags_, kWindowFocusHilite>},
    {11760, "UseStandardListBoxOverHilite", P, 0, {kValueBool}, FlagSetter<&L::windowFlags_, kWindowOverHilite>, FlagGetter<&L::windowFlags_, kWindowOverHilite>},
    {11762, "UseStandardListBoxHiliteSound", P, 0, {kValueBool}, FlagSetter<&L::listBoxFlags_, kHiliteSound>, FlagGetter<&L::listBoxFlags_, kHiliteSound>},
    {11764, "UseStandardListBoxActionSound", P, 0, {kValueBool}, FlagSetter<&L::listBoxFlags_, kActionSound>, FlagGetter<&L::listBoxFlags_, kActionSound>},
    {11766, "AddListBoxItem", C, 0, {}, Member<&L::AddItemCommand>},
    {11767, "SetListBoxItemList", C, 0, {kValueDword}, Member<&L::SetItemListCommand>},
    {11768, "GetListBoxItemList", C, 0, {kValuePointer}, Member<&L::GetItemListCommand>},
    {11769, "DeleteListBoxItem", C, 0, {}, Member<&L::DeleteItemCommand>},
    {11770, "ListBoxItemMaterial", P, 0, {kValueString}, Member<&L::SetItemField<&I::materialName>>, Member<&L::GetItemField<&I::materialName>>},
    {11772, "ListBoxItemText", P, 0, {kValueString}, Member<&L::SetItemField<&I::text>>, Member<&L::GetItemField<&I::text>>},
    {11774, "ListBoxItemDefaultItem", P, 0, {kValueBool}, Member<&L::SetItemFlagCommand<I::kDefault>>, Member<&L::GetItemFlagCommand<I::kDefault>>},
    {11776, "ListBoxItemEnable", P, 0, {kValueBool}, Member<&L::SetItemFlagCommand<I::kEnabled>>, Member<&L::GetItemFlagCommand<I::kEnabled>>},
    {11778, "ListBoxItemFloat", P, 0, {kValueFloat}, Member<&L::SetItemField<&I::value>>, Member<&L::GetItemField<&I::value>>},
    {11780, "ListBoxItemUInt", P, 0, {kValueInt}, Member<&L::SetItemField<&I::number>>, Member<&L::GetItemField<&I::number>>},
    {11782, "SelectedListBoxItem", P, 0, {kValueDword}, Member<&L::SetSelectedCommand>, FieldGetter<&L::selectedItem_>},
    {11784, "SelectListBoxItemByName", C, 0, {kValueString}, Member<&L::SelectByNameCommand>},
    {kEventOnListBoxSelectionChange, "OnListBoxSelectionChange", E, 0, {}},
    {11786, "OnListBoxItemInputOver", E, 0, {}},
    {11787, "OnListBoxItemInputOut", E, 0, {}},
    {11788, "OnListBoxItemInputDown", E, 0, {}},
    {11789, "OnListBoxItemInputUp", E, 0, {}},
};

std::span<const CommandEntry<ListBox>> ListBox::Commands() { return kCommands; }
// clang-format on

ListBox::ListBox() : Window(kClassListBox) { SetWindowFlag(kWindowFocusHilite | kWindowOverHilite, true); }

// The item list's block is a list object only the engine's own code makes.
int ListBox::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<ListBox> handlers(kClassListBox, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandCollectResources && args != nullptr) {
    CollectResources(args);
  }
  return Window::ExecuteCommand(id, args);
}

template <auto Field>
int ListBox::SetItemField(CommandArgs args) {
  if (ListBoxItem* item = SelectedItem()) StoreArgument(item->*Field, args);
  return 1;
}

template <auto Field>
int ListBox::GetItemField(CommandArgs args) {
  if (ListBoxItem* item = SelectedItem()) LoadArgument(item->*Field, args);
  return 1;
}

template <std::uint32_t Bit>
int ListBox::SetItemFlagCommand(CommandArgs args) {
  if (ListBoxItem* item = SelectedItem()) StoreFlagArgument(item->itemFlags, Bit, args);
  return 1;
}

template <std::uint32_t Bit>
int ListBox::GetItemFlagCommand(CommandArgs args) {
  if (ListBoxItem* item = SelectedItem()) LoadFlagArgument(item->itemFlags, Bit, args);
  return 1;
}

template <auto Name, auto Material>
int ListBox::SetArrowCommand(CommandArgs args) {
  this->*Name = args.AsString();
  ReacquireByName(this->*Material, this->*Name, kMaterialResource);
  return 1;
}

int ListBox::AddItemCommand(CommandArgs) {
  ListBoxItem item;
  item.text = "New Item";
  items_.push_back(std::move(item));
  selectedItem_ = static_cast<std::int32_t>(items_.size()) - 1;
  return 1;
}

int ListBox::SetItemListCommand(CommandArgs args) {
  selectedItem_ = args.Get<std::int32_t>();
  return 1;
}

int ListBox::GetItemListCommand(CommandArgs args) {
  auto& texts = *static_cast<std::vector<std::string>*>(args.Data());
  for (const ListBoxItem& item : items_) texts.push_back(item.text);
  return 1;
}

int ListBox::DeleteItemCommand(CommandArgs) {
  if (SelectedItem() == nullptr) return 1;
  items_.erase(items_.begin() + selectedItem_);
  selectedItem_ = items_.empty() ? -1 : 0;
  return 1;
}

int ListBox::SetSelectedCommand(CommandArgs args) {
  const auto last = static_cast<std::int32_t>(items_.size()) - 1;
  selectedItem_ = std::min(args.Get<std::int32_t>(), last);
  return 1;
}

int ListBox::SelectByNameCommand(CommandArgs args) {
  const std::string& name = args.AsString();
  const auto found = std::find_if(items_.begin(), items_.end(), [&name](const ListBoxItem& item) { return item.text == name; });
  if (found != items_.end()) selectedItem_ = static_cast<std::int32_t>(found - items_.begin());
  return 1;
}

ListBoxItem* ListBox::SelectedItem() {
  const auto index = static_cast<std::uint32_t>(selectedItem_);
  return index < items_.size() ? &items_[index] : nullptr;
}

// The arrows are acquired here too: a loaded list box knows only their
// names.
void ListBox::CollectResources(void* set) {
  auto& resources = *static_cast<ResourceSet*>(set);
  CollectNamed(prevMaterial_, prevMaterialName_, kMaterialResource, resources);
  CollectNamed(nextMaterial_, nextMaterialName_, kMaterialResource, resources);
  for (ListBoxItem& item : items_) CollectNamed(item.material, item.materialName, kMaterialResource, resources);
}

void ListBox::ChangeSelection(int delta) {
  if (SelectedItem() == nullptr) return;
  const auto count = static_cast<std::int32_t>(items_.size());
  std::int32_t index = selectedItem_;
  for (std::int32_t step = 0; step < count; ++step) {
    index = (index + delta + count) % count;
    if (items_[static_cast<std::size_t>(index)].itemFlags & ListBoxItem::kEnabled) {
      selectedItem_ = index;
      break;
    }
  }
  if (listBoxFlags_ & kActionSound) StartSkinActionSound();
  FireEvent(kEventOnListBoxSelectionChange, nullptr);
}

void ListBox::Precalculate() {
  JoinOwnerWindow();
  Window::Precalculate();
  const auto found = std::find_if(items_.begin(), items_.end(),
                                  [](const ListBoxItem& item) { return item.itemFlags & ListBoxItem::kDefault; });
  if (found != items_.end()) selectedItem_ = static_cast<std::int32_t>(found - items_.begin());
}

void ListBox::OnPointerEnter(const Vector3&) {
  if (!FireEventStillHere(kEventOnInputOver, nullptr)) return;
  if (listBoxFlags_ & kHiliteSound) StartSkinHiliteSound();
  listBoxFlags_ |= kPointerOver;
}

void ListBox::OnPointerLeave(const Vector3&) {
  FireEvent(kEventOnInputOut, nullptr);
  listBoxFlags_ &= ~kPointerOver;
}

void ListBox::OnNavigate(const Vector3& pointer, int code) {
  const ScreenRect& rect = GetScreenRect();
  const float arrowWidth = navigationDimension_.x * layoutScale_.x;
  prevArrowRect_ = ScreenRect{rect.left, rect.top, rect.left + arrowWidth, rect.bottom};
  nextArrowRect_ = ScreenRect{rect.right - arrowWidth, rect.top, rect.right, rect.bottom};
  if (StrictlyInside(prevArrowRect_, pointer)) {
    ChangeSelection(-1);
  } else if (StrictlyInside(nextArrowRect_, pointer)) {
    ChangeSelection(+1);
  }
  if (!FireEventStillHere(kEventOnInputDown, nullptr)) return;
  if (code == kWidgetLeft) ChangeSelection(-1);
  if (code == kWidgetRight) ChangeSelection(+1);
}

void ListBox::OnInput(const Vector3&, int) { FireEvent(kEventOnInputUp, nullptr); }

void ListBox::Draw() {
  if (!GetActive()) return;
  EngineServices* services = GetEngineServices();
  if (services != nullptr && HasFlag(kFlagActionStarted)) {
    RenderQueue& queue = services->GetRenderQueue();
    const Color colour = DecorationColour(IsEnabled(), GetActionValue());
    const ScreenRect& rect = GetScreenRect();
    const float z = GetWorldMatrix().m[14] + navigationDimension_.z;
    const float w = navigationDimension_.x * layoutScale_.x, h = navigationDimension_.y * layoutScale_.y;
    if (prevMaterial_) queue.QueueSprite(prevMaterial_.Get(), {rect.left, rect.top, z}, w, h, colour, kSpriteLeftTop);
    if (nextMaterial_) queue.QueueSprite(nextMaterial_.Get(), {rect.right - w, rect.top, z}, w, h, colour, kSpriteLeftTop);
    if (const ListBoxItem* item = SelectedItem()) {
      const Vector3& anchor = GetTextAnchor();
      const std::uint32_t flags = (windowFlags_ & kWindowAlignYMask) >> 8 | kWindowAlignCenterX;
      queue.QueueText(font_.Get(), item->text.c_str(), {(rect.right - rect.left) * 0.5f + rect.left, anchor.y, anchor.z},
                      layoutScale_.x, layoutScale_.y, colour, 0, 0, flags);
    }
  }
  Window::Draw();
}

// Layout: the Window record; [version >= 1] flags, the item count and per
// item its material name, text, [version > 7] value and number, and flags;
// [version >= 48] the arrows' names and size.
bool ListBox::Serialize(SerializeStream& stream) {
  if (!Window::Serialize(stream)) return false;
  const auto version = static_cast<std::uint32_t>(stream.GetVersion());
  if (version >= 1) {
    stream.Serialize(listBoxFlags_);
    if (!SerializeItems(stream)) return false;
  }
  if (version >= kFirstVersionWithArrows) {
    stream.SerializeString(nextMaterialName_);
    stream.SerializeString(prevMaterialName_);
    stream.Serialize(navigationDimension_);
  }
  listBoxFlags_ &= ~kPointerOver;
  return !stream.Failed();
}

bool ListBox::SerializeItems(SerializeStream& stream) {
  auto count = static_cast<std::int32_t>(items_.size());
  stream.Serialize(count);
  if (!stream.IsWriting()) {
    if (stream.Failed() || count < 0 || !CountFitsStream(stream, static_cast<std::uint64_t>(count), kItemBytes)) {
      stream.MarkFailed();
      return false;
    }
    items_.assign(static_cast<std::size_t>(count), ListBoxItem{});
  }
  const bool withValues = static_cast<std::uint32_t>(stream.GetVersion()) >= kFirstVersionWithItemValues;
  for (ListBoxItem& item : items_) {
    stream.SerializeString(item.materialName);
    stream.SerializeString(item.text);
    if (withValues) {
      stream.Serialize(item.value);
      stream.Serialize(item.number);
    }
    stream.Serialize(item.itemFlags);
  }
  return !stream.Failed();
}

void RegisterListBoxCommands() {
  RegisterCommandTable<ListBox>(BuildCommandRegistry(), kClassListBox, ListBox::Commands());
  GetObjectFactory().RegisterType<ListBox>(kClassListBox);
}

}  // namespace tge
