// The worker that does the page's jobs. A worker that fails, is missing or does not answer
// ends the jobs it had as failures, in the page's words with their cause, and is replaced
// at the next job.
"use strict";

// eslint-disable-next-line no-unused-vars
class JobWorker {
    constructor(onAnswer) {
        this.onAnswer = onAnswer;
        this.worker = null;
        this.pending = new Map();  // job id → its timer until the worker says it began
    }
    // How long a worker may take to say it has the job: more, and it is taken for dead.
    static get answerMs() {
        return window.MARDOVANE_WORKER_ANSWER_MS || 10000;
    }
    send(id, message, transfer) {
        if (!this.worker) {
            try {
                this.worker = new Worker(released("worker.js"));
            } catch (error) {
                this.failOne(id, worded(TEXTS.pageWorkerNotStarted, error.message));
                return;
            }
            this.worker.onmessage = (event) => this.received(event.data);
            this.worker.onerror = (event) => {
                event.preventDefault();
                this.failAll(event.message ? worded(TEXTS.pageWorkerFailed, event.message)
                                           : TEXTS.pageWorkerMissing);
            };
            this.worker.onmessageerror = () => this.failAll(TEXTS.pageWorkerUnreadable);
        }
        this.pending.set(id, setTimeout(() => this.failAll(TEXTS.pageWorkerSilent),
                                        JobWorker.answerMs));
        this.worker.postMessage(message, transfer);
    }
    received(data) {
        if (data.began !== undefined) {
            clearTimeout(this.pending.get(data.began));
            this.pending.set(data.began, 0);
            return;
        }
        clearTimeout(this.pending.get(data.id));
        this.pending.delete(data.id);
        this.onAnswer(data);
    }
    failOne(id, why) {
        clearTimeout(this.pending.get(id));
        this.pending.delete(id);
        this.onAnswer({id, result: {kind: "failure", failure: "unexpected", what: why}});
    }
    // The page is going: the worker goes first, whatever it is doing.
    stop() {
        if (this.worker) {
            this.worker.terminate();
            this.worker = null;
        }
    }
    // Every job it had fails; the next job starts a new worker.
    failAll(why) {
        if (this.worker) {
            this.worker.terminate();
            this.worker = null;
        }
        for (const id of [...this.pending.keys()]) {
            this.failOne(id, why);
        }
    }
}
