// What every wizard page shares: the window title, the button captions of the current
// language, Help, the cancel question and the remembered position; and showing a page so
// that its result word, direction and position land in the application state.
#pragma once

#include <functional>
#include <string>

#include "platform/page_model.h"

#include "config/run_context.h"

// A page of the class with the frame filled in; helpTopicName may name no topic.
platform::PageModel framedPage(RunContext& app, platform::PageClass pageClass, const char* helpTopicName);

// Shows the page. A result word goes into flowState (with the direction it implies) and
// the page's position into lastPageRect; a page ended without a word leaves both alone.
// Returns the word, empty when there was none.
std::string showPage(RunContext& app, platform::PageModel& page);

// Row text with "ProductX" replaced by the product name.
std::u16string productText(const RunContext& app, int row);

// Shows the progress page with these texts running work (on its own thread); returns the
// page's result word ("next" once the work has finished; "back" or "cancel" before it
// started; empty after Escape before it started). The word also goes to flowState.
std::string showProgressPage(RunContext& app, platform::WorkKind kind, const std::u16string& title,
                             const std::u16string& message, const std::u16string& progressTitle,
                             const std::u16string& info, std::function<void()> work);
