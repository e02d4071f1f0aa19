int placeholder_for_build = 0;
