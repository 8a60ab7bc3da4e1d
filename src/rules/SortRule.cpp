#include "rules/SortRule.h"
