'use strict';

// The whole board: every display and label the page was built with, filled
// from the program's feed.

(() => {
    // Each display's digit, by its design name and index.
    const digitOf = {
        ledAtBat: (g, i) => (i === 1 ? Led.tens(g.atBat) : Led.ones(g.atBat)),
        ledBall: (g) => g.balls,
        ledStrike: (g) => g.strikes,
        ledOut: (g) => g.outs,
        ledHome: (g, i) => g.home.innings[i - 1],
        ledVisitor: (g, i) => g.visitor.innings[i - 1],
        ledHomeRuns: (g, i) => (i === 1 ? Led.tens(g.home.runs) : Led.ones(g.home.runs)),
        ledVisitorRuns: (g, i) => (i === 1 ? Led.tens(g.visitor.runs) : Led.ones(g.visitor.runs)),
        ledHomeHits: (g, i) => (i === 1 ? Led.tens(g.home.hits) : Led.ones(g.home.hits)),
        ledVisitorHits: (g, i) => (i === 1 ? Led.tens(g.visitor.hits) : Led.ones(g.visitor.hits)),
        ledHomeErr: (g) => g.home.errors,
        ledVisitorErr: (g) => g.visitor.errors,
    };
    const displays = Array.from(document.querySelectorAll('.led'), (element) => ({
        digit: digitOf[element.dataset.name],
        index: Number(element.dataset.index),
        show: Led.create(element),
    }));
    const board = document.getElementById('board');
    const frame = document.getElementById('Shape1');
    const labels = Array.from(document.querySelectorAll('.label'));
    const title = document.getElementById('lblBoardTitle');
    const home = document.getElementById('lblHome');
    const visitor = document.getElementById('lblVisitor');
    // Points to the share of the window's height they take at the design size.
    const heightPerPoint = Number(board.dataset.heightPerPoint);
    const size = (points) => `${points * heightPerPoint}vh`;

    let shownBoard = '';
    followBoard((state) => {
        const b = state.board;
        // Colours, names and sizes change seldom: the page is restyled only then.
        const boardKey = JSON.stringify(b);
        if (boardKey !== shownBoard) {
            shownBoard = boardKey;
            board.style.backgroundColor = b.formBackColor;
            frame.style.borderColor = b.labelColor;
            labels.forEach((label) => { label.style.color = b.labelColor; });
            home.style.color = b.homeColor;
            visitor.style.color = b.visitorColor;
            title.textContent = b.titleText;
            title.style.fontSize = size(b.titleSize);
            home.textContent = b.homeText;
            visitor.textContent = b.visitorText;
            home.style.fontSize = size(b.teamSize);
            visitor.style.fontSize = size(b.teamSize);
        }
        displays.forEach((d) => d.show(d.digit(state.game, d.index), b.ledColor, b.ledBackColor));
    });
})();
