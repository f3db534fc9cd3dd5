// The start-up's parts, timed one by one (orvane_bench phases).
#pragma once

void Phases();
