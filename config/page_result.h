// How the user ended a wizard page. None: the page ended without an answer (a page closed
// without a word); what that means is the flow's to decide. Escape is the page's Cancel.
#pragma once

enum class PageResult { None, Next, Back, Cancel, Button1, Button2, Button4, Option1, Option2 };
