/* A library with nothing in it but what the build adds (a version resource or none). */
int kest_placeholder;
