// Planted: a page reaching sideways into the install actions.
#include "config/run_context.h"
#include "install/install_actions.h"
