// Help topics: the page names a wizard page knows, and the numbers of their pages
// ("setup_<n>.htm") in the setup's help file.
#pragma once

#include "config/name_table.h"

// Fills a table created with a size request of 1000 (case-sensitive names).
void fillHelpTopics(NameTable& topics);

// The topic number of a name, or -1 for a name the table does not hold.
int helpTopic(const NameTable& topics, const char* name);
