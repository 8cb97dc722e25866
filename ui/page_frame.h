// What every wizard page shares: the window title, the button captions of the current
// language, Help, the cancel question and the remembered position; and showing a page,
// which turns the dialog's word into a PageResult for the step that showed it.
#pragma once

#include <string>

#include "platform/page_model.h"

#include "config/page_result.h"
#include "config/run_context.h"

// A page of the class with the frame filled in; helpTopicName may name no topic.
platform::PageModel framedPage(RunContext& app, platform::PageClass pageClass, const char* helpTopicName);

// A caption row (option, check box, label) with "ProductX" replaced by the product name,
// whose own '&' stays a character, not a second Alt letter.
std::u16string productCaption(const RunContext& app, TextRow row);

// Shows the page and returns how it ended. An answered page leaves its position in
// lastPageRect, so the next page opens there; where the run goes next is the flow's.
PageResult showPage(RunContext& app, platform::PageModel& page);

// The dialog's word as a result; an empty or unknown word is None.
PageResult pageResultOf(const std::string& word);
