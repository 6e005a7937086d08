/* Link-time stand-in for libpthread.so.0: binds the library's weak reference
   to __pthread_key_create at version GLIBC_2.2.5 of libpthread.so.0, as older
   systems define it. The loader then finds the system's own definition. */
int __pthread_key_create(void* key, void (*destructor)(void*)) {
  (void)key;
  (void)destructor;
  return 0;
}
