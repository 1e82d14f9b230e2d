// The owned-component base: an owner frees what it owns, components carry a name, a state
// (loading from stored form data, being designed) and a style, and can ask to be told when
// another component goes away.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runtime/Persistent.h"
#include "runtime/Set.h"

enum TComponentStateElement : std::uint8_t {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,
};
using TComponentState = TSet<TComponentStateElement, std::uint16_t>;

enum TComponentStyleElement : std::uint8_t { csInheritable, csCheckPropAvail, csSubComponent };
using TComponentStyle = TSet<TComponentStyleElement, std::uint8_t>;

enum TOperation : std::uint8_t { opInsert, opRemove };

using TNotifyEvent = std::function<void(TObject* Sender)>;

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int Index) const { return FComponents.at(static_cast<std::size_t>(Index)); }
  // The owned component of that name (letter case ignored), or nullptr.
  TComponent* FindComponent(const std::string& AName) const;
  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);

  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value) { FName = Value; }
  std::int32_t Tag() const { return FTag; }
  void SetTag(std::int32_t Value) { FTag = Value; }

  TComponentState ComponentState() const { return FComponentState; }
  TComponentStyle ComponentStyle() const { return FComponentStyle; }

  // AComponent's Notification(this, opRemove) runs when this component is destroyed.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  // The reader of stored form data calls Loading before it sets the stored properties and
  // Loaded after the last one; Loaded ends the loading state.
  void Loading();
  virtual void Loaded();
  // Marks the component as edited in a designer rather than run (and its owned ones with it).
  void SetDesigning(bool Value);

 protected:
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  void ExcludeStyle(TComponentStyleElement Element) { FComponentStyle.Exclude(Element); }

 private:
  void Insert(TComponent* AComponent);
  void Remove(TComponent* AComponent);
  void DestroyComponents();

  TComponent* FOwner = nullptr;
  std::string FName;
  std::int32_t FTag = 0;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  TComponentState FComponentState;
  TComponentStyle FComponentStyle{csInheritable};
};
