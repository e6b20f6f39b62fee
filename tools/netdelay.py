#!/usr/bin/env python3
"""A loop-back proxy that holds every packet a given delay each way, as a
network between two buildings or towns does, for trying the program against
a server base over such a network.

    python3 tools/netdelay.py DELAY_MS TARGET [PORT]

TARGET is a Unix socket (a path, e.g. the socket of a tools/pgtest.sh
cluster: FOLDER/.s.PGSQL.5432) or HOST:PORT. The proxy listens on 127.0.0.1
at PORT (any free one when missing or 0) and prints that port on its first
line; the program then takes host 127.0.0.1 and that port. Whatever comes
from either side is passed on DELAY_MS later, in its order, so a round trip
costs twice the delay while the bytes flow at full speed. A closed side is
closed on the other after the delay too. The proxy runs until it is ended
(SIGTERM, SIGINT) or its standard input, a pipe, is closed.

The line can be cut and brought back while the proxy keeps its port:
SIGUSR1 ends every connection through it at once and closes each new one as
it comes, until SIGUSR2 lets them through again. When the environment names
a file in NETDELAY_STATE, the proxy writes "cut" or "open" there once it is
so, for whoever sent the signal to wait for.
"""
import asyncio
import os
import signal
import stat
import sys


async def carry(reader, writer, delay):
    """Passes what the reader gives to the writer `delay` seconds after it came."""
    loop = asyncio.get_running_loop()
    held = asyncio.Queue()

    async def take():
        while True:
            data = await reader.read(65536)
            await held.put((loop.time() + delay, data))
            if not data:
                return

    async def give():
        while True:
            due, data = await held.get()
            wait = due - loop.time()
            if wait > 0:
                await asyncio.sleep(wait)
            if not data:
                if writer.can_write_eof():
                    writer.write_eof()
                return
            writer.write(data)
            await writer.drain()

    try:
        await asyncio.gather(take(), give())
    except (ConnectionError, OSError):
        pass


async def connect(target):
    if ":" in target and not target.startswith("/"):
        host, port = target.rsplit(":", 1)
        return await asyncio.open_connection(host, int(port))
    return await asyncio.open_unix_connection(target)


class Line:
    """Whether the line is cut, and the connections through it."""

    def __init__(self):
        self.cut = False
        self.writers = set()

    def set_cut(self, cut):
        self.cut = cut
        if cut:
            for w in list(self.writers):
                w.transport.abort()
        state = os.environ.get("NETDELAY_STATE")
        if state:
            with open(state + ".new", "w") as f:
                f.write("cut" if cut else "open")
            os.replace(state + ".new", state)


async def serve(delay, target, port):
    line = Line()

    async def client(reader, writer):
        if line.cut:
            writer.transport.abort()
            return
        try:
            server_reader, server_writer = await connect(target)
        except OSError:
            writer.close()
            return
        if line.cut:
            for w in (writer, server_writer):
                w.transport.abort()
            return
        line.writers.update((writer, server_writer))
        try:
            await asyncio.gather(carry(reader, server_writer, delay), carry(server_reader, writer, delay))
        except asyncio.CancelledError:
            pass  # the proxy ends
        finally:
            line.writers.difference_update((writer, server_writer))
            for w in (writer, server_writer):
                w.close()

    server = await asyncio.start_server(client, "127.0.0.1", port)
    loop = asyncio.get_running_loop()
    ended = loop.create_future()
    for sig in (signal.SIGTERM, signal.SIGINT):
        loop.add_signal_handler(sig, lambda: ended.done() or ended.set_result(None))
    loop.add_signal_handler(signal.SIGUSR1, line.set_cut, True)
    loop.add_signal_handler(signal.SIGUSR2, line.set_cut, False)
    # The port said once every signal is taken as described.
    print(server.sockets[0].getsockname()[1], flush=True)
    # Standard input a pipe that closes (the test that started it has gone):
    # the end too.
    if stat.S_ISFIFO(os.fstat(sys.stdin.fileno()).st_mode):
        loop.add_reader(sys.stdin.fileno(),
                        lambda: os.read(sys.stdin.fileno(), 4096) or ended.done() or ended.set_result(None))
    async with server:
        await ended


def main():
    if len(sys.argv) not in (3, 4):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    delay = int(sys.argv[1]) / 1000.0
    port = int(sys.argv[3]) if len(sys.argv) == 4 else 0
    asyncio.run(serve(delay, sys.argv[2], port))
    return 0


if __name__ == "__main__":
    sys.exit(main())
