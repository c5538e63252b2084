#include "journal/EntryLookups.h"
