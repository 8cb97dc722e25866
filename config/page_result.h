// How the user ended a wizard page. None: the page ended without an answer (Escape, or
// Enter on a page without a default button); what that means is the flow's to decide.
#pragma once

enum class PageResult { None, Next, Back, Cancel, Button1, Button2, Button4, Option1, Option2 };
