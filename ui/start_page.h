// The start page: language choice and the main commands.
#pragma once

#include "platform/page_model.h"

#include "config/run_context.h"

// The start page of the current state (commands shown or hidden, texts in languageIndex);
// its language callback switches languageIndex and re-texts the page.
platform::PageModel startPage(RunContext& app);
