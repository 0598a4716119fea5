'use strict';

// What both pages share: seven-segment digits drawn as SVG, and the live feed
// from the program, which reconnects by itself.

const Led = (() => {
    const svgNs = 'http://www.w3.org/2000/svg';
    // A digit is laid out in a 48 x 80 box, segments 9 thick with a hairline
    // between them, as on the board.
    const boxWidth = 48;
    const boxHeight = 80;
    const thick = 9;
    const gap = 1.2;

    function points(list) {
        return list.map(([x, y]) => `${x.toFixed(2)},${y.toFixed(2)}`).join(' ');
    }

    // A bar with pointed ends, between two points on one axis.
    function bar(x0, y0, x1, y1) {
        const h = thick / 2;
        if (y0 === y1) {
            const a = x0 + gap, b = x1 - gap;
            return points([[a, y0], [a + h, y0 - h], [b - h, y0 - h], [b, y0], [b - h, y0 + h], [a + h, y0 + h]]);
        }
        const a = y0 + gap, b = y1 - gap;
        return points([[x0, a], [x0 + h, a + h], [x0 + h, b - h], [x0, b], [x0 - h, b - h], [x0 - h, a + h]]);
    }

    const h = thick / 2;
    const left = h, right = boxWidth - h;
    const top = h, middle = boxHeight / 2, bottom = boxHeight - h;
    // Segments a to g: top, upper right, lower right, bottom, lower left,
    // upper left, middle.
    const segments = [
        bar(left, top, right, top),
        bar(right, top, right, middle),
        bar(right, middle, right, bottom),
        bar(left, bottom, right, bottom),
        bar(left, middle, left, bottom),
        bar(left, top, left, middle),
        bar(left, middle, right, middle),
    ];
    // Bit n lit: segment n.
    const lit = [0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f];

    // Fills the element with a dark digit and returns its setter:
    // show(digit or null, lit colour, background colour).
    function create(element) {
        const svg = document.createElementNS(svgNs, 'svg');
        svg.setAttribute('viewBox', `0 0 ${boxWidth} ${boxHeight}`);
        svg.setAttribute('preserveAspectRatio', 'xMidYMid meet');
        const shapes = segments.map((p) => {
            const shape = document.createElementNS(svgNs, 'polygon');
            shape.setAttribute('points', p);
            svg.appendChild(shape);
            return shape;
        });
        element.appendChild(svg);
        let shown = '';
        return (digit, on, off) => {
            const key = `${digit}${on}${off}`;
            if (key === shown)
                return;
            shown = key;
            element.style.backgroundColor = off;
            const mask = digit === null || digit === undefined ? 0 : lit[digit] || 0;
            shapes.forEach((shape, i) => shape.setAttribute('fill', mask & (1 << i) ? on : off));
            element.dataset.digit = digit === null || digit === undefined ? '' : String(digit);
        };
    }

    // The tens and ones digits of a number shown without a leading zero.
    function tens(n) { return n >= 10 ? Math.floor(n / 10) % 10 : null; }
    function ones(n) { return n % 10; }

    return { create, tens, ones };
})();

// Calls onState with every document the program sends, the current one first.
// A lost connection is tried again every second; the page keeps what it shows
// meanwhile, and shows the current board as soon as it is back.
function followBoard(onState) {
    function open() {
        const socket = new WebSocket(`ws://${location.host}/live`);
        socket.onmessage = (event) => onState(JSON.parse(event.data));
        socket.onclose = () => setTimeout(open, 1000);
    }
    open();
}
