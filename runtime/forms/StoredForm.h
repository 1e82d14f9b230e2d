// Forms kept as stored data: each component's class, name and properties in declaration
// order, with the components it contains. Loading creates the components, owned by the form
// and placed on their containers, and reads their properties in the stored order.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "runtime/forms/Control.h"
#include "runtime/forms/Form.h"

struct TStoredComponent {
  std::string ClassName;
  std::string Name;
  std::vector<TStoredProperty> Properties;
  std::vector<TStoredComponent> Children = {};
};

using TControlFactory = std::function<TControl*(TComponent* Owner)>;
// Makes a class known to the loader by its name. TPanel, TLabel, TComboBox and TButton are
// known from the start.
void RegisterControlClass(const std::string& ClassName, TControlFactory Factory);

// Reads Stored into Form: the form's own properties, then its components, depth first. Every
// component is in the loading state until the whole form has been read. An unknown class or
// property raises Exception naming it.
void LoadForm(TForm& Form, const TStoredComponent& Stored);
