#include "rules/RuleStore.h"
