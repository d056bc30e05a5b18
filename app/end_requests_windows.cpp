#include "app/end_requests.h"

void catch_end_requests()
{
}

void end_as_requested()
{
}
