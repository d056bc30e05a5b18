/* worker_thread.h - runs the frame loop on a thread of its own.
 *
 * run_on_worker(body) starts a second thread running body() and blocks the
 * calling thread until body has returned. On Windows the thread is made
 * with CreateThread and waited for with WaitForSingleObject.
 */
#ifndef APP_WORKER_THREAD_H
#define APP_WORKER_THREAD_H

void run_on_worker(int (*body)());

#endif
