// ListBox (class 47): a widget holding a list of items that shows the
// selected item's text between a previous and a next arrow. A click on an
// arrow, or Left and Right, step the selection to the previous or next
// enabled item, wrapping around. The selection is also the item the
// ListBoxItem* properties read and write; an index outside the list (a
// script may set any) selects nothing, so no access leaves the list.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/math/Vector.h"
#include "objects/ui/widgets/Window.h"

namespace tge {

inline constexpr int kEventOnListBoxSelectionChange = 11785;

struct ListBoxItem {
  static constexpr std::uint32_t kDefault = 0x1;
  static constexpr std::uint32_t kEnabled = 0x2;

  ResourceRef material;
  std::string materialName;
  std::string text;
  float value = 0;
  std::int32_t number = 0;
  std::uint32_t itemFlags = kEnabled;
};

class ListBox : public Window {
 public:
  static std::span<const CommandEntry<ListBox>> Commands();
  static const CommandEntry<ListBox> kCommands[];

  ListBox();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  void Draw() override;
  void Precalculate() override;
  void OnPointerEnter(const Vector3& pointer) override;
  void OnPointerLeave(const Vector3& pointer) override;
  void OnNavigate(const Vector3& pointer, int code) override;
  void OnInput(const Vector3& pointer, int code) override;

  const std::vector<ListBoxItem>& GetItems() const { return items_; }
  std::int32_t GetSelectedIndex() const { return selectedItem_; }
  // Steps the selection by delta (-1 or +1) to the next enabled item.
  void ChangeSelection(int delta);

 private:
  static constexpr std::uint32_t kHiliteSound = 0x20;
  static constexpr std::uint32_t kActionSound = 0x40;
  static constexpr std::uint32_t kVertical = 0x80;
  static constexpr std::uint32_t kPointerOver = 0x10000;

  template <auto Field>
  int SetItemField(CommandArgs args);
  template <auto Field>
  int GetItemField(CommandArgs args);
  template <std::uint32_t Bit>
  int SetItemFlagCommand(CommandArgs args);
  template <std::uint32_t Bit>
  int GetItemFlagCommand(CommandArgs args);
  template <auto Name, auto Material>
  int SetArrowCommand(CommandArgs args);
  int AddItemCommand(CommandArgs args);
  int SetItemListCommand(CommandArgs args);
  int GetItemListCommand(CommandArgs args);
  int DeleteItemCommand(CommandArgs args);
  int SetSelectedCommand(CommandArgs args);
  int SelectByNameCommand(CommandArgs args);
  // The selected item; null when the selection is outside the list.
  ListBoxItem* SelectedItem();
  void CollectResources(void* set);
  bool SerializeItems(SerializeStream& stream);

  std::vector<ListBoxItem> items_;
  std::int32_t selectedItem_ = -1;
  ResourceRef nextMaterial_;
  std::string nextMaterialName_;
  ResourceRef prevMaterial_;
  std::string prevMaterialName_;
  Vector3 navigationDimension_{32, 32, 1};
  ScreenRect nextArrowRect_;
  ScreenRect prevArrowRect_;
  std::uint32_t listBoxFlags_ = kHiliteSound | kActionSound;
};

void RegisterListBoxCommands();

}  // namespace tge
