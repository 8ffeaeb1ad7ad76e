// Handlers made at run time for the layout's event bindings, each with the name
// that the layout binds: a form registers them as its own.
#pragma once

#include <string>
#include <vector>

#include "ui/Graphics.h"

struct NamedHandler {
    std::string name;
    ui::TNotifyEvent handler;
};
using NamedHandlers = std::vector<NamedHandler>;
