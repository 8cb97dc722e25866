// Planted: the settings reader reaching up into the application object.
#include "config/settings_reader.h"
#include "text/texts.h"
#include "app/bootstrapper_app.h"
